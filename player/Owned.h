// Owners of what the library allocates: a block of the process heap and a menu.
// Each frees what it holds when it goes, unless it was released to its new owner
// (the host, or the record that keeps it). Nothing here throws.
#pragma once

#include <windows.h>

#include <utility>

namespace player {

template <typename T>
class HeapBlock {
public:
    explicit HeapBlock(SIZE_T bytes, DWORD flags = 0) noexcept
        : block_(static_cast<T*>(HeapAlloc(GetProcessHeap(), flags, bytes))) {}
    ~HeapBlock() {
        if (block_ != nullptr)
            HeapFree(GetProcessHeap(), 0, block_);
    }
    HeapBlock(const HeapBlock&) = delete;
    HeapBlock& operator=(const HeapBlock&) = delete;

    explicit operator bool() const noexcept { return block_ != nullptr; }
    T* get() const noexcept { return block_; }
    T* operator->() const noexcept { return block_; }
    T& operator[](SIZE_T i) const noexcept { return block_[i]; }
    T* release() noexcept { return std::exchange(block_, nullptr); }

private:
    T* block_;
};

class OwnedMenu {
public:
    OwnedMenu() noexcept : menu_(CreatePopupMenu()) {}
    ~OwnedMenu() {
        if (menu_ != nullptr)
            DestroyMenu(menu_);
    }
    OwnedMenu(const OwnedMenu&) = delete;
    OwnedMenu& operator=(const OwnedMenu&) = delete;

    HMENU get() const noexcept { return menu_; }
    HMENU release() noexcept { return std::exchange(menu_, nullptr); }

private:
    HMENU menu_;
};

} // namespace player
