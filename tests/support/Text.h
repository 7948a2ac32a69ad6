// Text helpers of the tests: names written in other case, wide text made printable in
// failure messages, and replies tallied by hosts asking side by side.
#pragma once

#include <cwctype>
#include <string>

namespace testing_support {

// ASCII as it is, every other unit as '?'.
inline std::string narrow(const std::wstring& s) {
    std::string result;
    for (wchar_t c : s)
        result += c < 0x80 ? static_cast<char>(c) : '?';
    return result;
}

inline std::wstring upper(std::wstring s) {
    for (wchar_t& c : s)
        c = static_cast<wchar_t>(std::towupper(c));
    return s;
}

// Every other letter in capitals: "VoLuMe".
inline std::wstring mixed(std::wstring s) {
    for (std::size_t i = 0; i < s.size(); i += 2)
        s[i] = static_cast<wchar_t>(std::towupper(s[i]));
    return s;
}

// Texts read by a host beside others: an empty one did not arrive (a loaded machine may
// keep the player waiting too long), any other than the one asked for is another's.
struct Replies {
    int crossed = 0;
    int missing = 0;
    void add(const std::wstring& reply, const std::wstring& asked) {
        missing += reply.empty() ? 1 : 0;
        crossed += !reply.empty() && reply != asked ? 1 : 0;
    }
};

} // namespace testing_support
