// copyBounded: the platform's counted string copy (StringCchCopyW) without the
// strsafe dependency.
//
// Copies at most capacity - 1 characters and a NUL. Units after the NUL are never
// written. Result: S_OK when the whole source fit, STRSAFE_E_INSUFFICIENT_BUFFER
// (0x8007007A) when it was cut, STRSAFE_E_INVALID_PARAMETER (0x80070057) with the
// destination untouched when the capacity is 0 or above 0x7FFFFFFF, or the
// destination is null.
#pragma once

#include <windows.h>
#include <cstddef>

namespace player {

inline constexpr HRESULT kCopyCut = static_cast<HRESULT>(0x8007007AL);
inline constexpr HRESULT kCopyInvalid = static_cast<HRESULT>(0x80070057L);
inline constexpr std::size_t kMaxCopyCapacity = 0x7FFFFFFF;

inline HRESULT copyBounded(wchar_t* destination, std::size_t capacity, const wchar_t* source) noexcept {
    if (destination == nullptr || capacity == 0 || capacity > kMaxCopyCapacity)
        return kCopyInvalid;
    std::size_t i = 0;
    for (; i < capacity; ++i) {
        if (source[i] == L'\0') {
            destination[i] = L'\0';
            return S_OK;
        }
        destination[i] = source[i];
    }
    destination[capacity - 1] = L'\0';
    return kCopyCut;
}

} // namespace player
