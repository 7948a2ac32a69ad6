// Owners of Win32 handles for the tools and the tests: one line per kind, in the
// manner of WIL's unique_* types. An owner closes what it holds when it goes, is
// moved but never copied, and can give its handle up with release().
#pragma once

#include <windows.h>

#include <utility>

namespace tools {

template <typename Handle, auto close, Handle (*invalid)()>
class Unique {
public:
    Unique() noexcept = default;
    explicit Unique(Handle handle) noexcept : handle_(handle) {}
    ~Unique() { reset(); }
    Unique(Unique&& other) noexcept : handle_(other.release()) {}
    Unique& operator=(Unique&& other) noexcept {
        reset(other.release());
        return *this;
    }
    Unique(const Unique&) = delete;
    Unique& operator=(const Unique&) = delete;

    Handle get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != invalid(); }
    Handle release() noexcept { return std::exchange(handle_, invalid()); }
    void reset(Handle handle = invalid()) noexcept {
        if (handle_ != invalid())
            close(handle_);
        handle_ = handle;
    }
    // For functions that hand a new handle out through a pointer.
    Handle* put() noexcept {
        reset();
        return &handle_;
    }

private:
    Handle handle_ = invalid();
};

template <typename Handle>
constexpr Handle none() {
    return nullptr;
}
inline HANDLE invalidFile() {
    return INVALID_HANDLE_VALUE;
}

using UniqueHandle = Unique<HANDLE, &CloseHandle, &none<HANDLE>>; // processes, threads, pipes, events
using UniqueFile = Unique<HANDLE, &CloseHandle, &invalidFile>;    // CreateFileW
using UniqueModule = Unique<HMODULE, &FreeLibrary, &none<HMODULE>>;
using UniqueMenu = Unique<HMENU, &DestroyMenu, &none<HMENU>>;

} // namespace tools
