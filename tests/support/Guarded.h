// Guarded<N>: a host buffer of N UTF-16 units with guard units before and after it,
// so that a test sees every write outside the buffer. The buffer starts filled with
// kFill, the guards with kGuard.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace testing_support {

inline constexpr wchar_t kFill = 0xAAAA;
inline constexpr wchar_t kGuard = 0xCCCC;

template <std::size_t N>
class Guarded {
public:
    static constexpr std::size_t kGuardUnits = 8;

    Guarded() {
        units_.fill(kGuard);
        for (std::size_t i = 0; i < N; ++i)
            units_[kGuardUnits + i] = kFill;
    }

    wchar_t* data() { return units_.data() + kGuardUnits; }
    int size() const { return static_cast<int>(N); }

    // The text up to its NUL, or the whole buffer when there is none.
    std::wstring text() const {
        std::wstring result;
        for (std::size_t i = 0; i < N && units_[kGuardUnits + i] != L'\0'; ++i)
            result += units_[kGuardUnits + i];
        return result;
    }

    bool untouched() const {
        for (std::size_t i = 0; i < N; ++i)
            if (units_[kGuardUnits + i] != kFill)
                return false;
        return guardsIntact();
    }

    bool guardsIntact() const {
        for (std::size_t i = 0; i < kGuardUnits; ++i)
            if (units_[i] != kGuard || units_[kGuardUnits + N + i] != kGuard)
                return false;
        return true;
    }

    wchar_t unit(std::size_t i) const { return units_[kGuardUnits + i]; }

private:
    std::array<wchar_t, N + 2 * kGuardUnits> units_;
};

} // namespace testing_support
