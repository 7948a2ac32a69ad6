// Text helpers of the tests: names written in other case, and wide text made
// printable in failure messages.
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

} // namespace testing_support
