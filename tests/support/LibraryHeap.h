// player.dll's heap, counted and made to run out on demand: while a LibraryHeap
// lives, the library's imports of HeapAlloc and HeapFree point at it, so that the
// paths where memory runs out are taken and checked to leave nothing behind.
#pragma once

#include <windows.h>

namespace testing_support {

class LibraryHeap {
public:
    LibraryHeap();
    ~LibraryHeap();
    LibraryHeap(const LibraryHeap&) = delete;
    LibraryHeap& operator=(const LibraryHeap&) = delete;

    // The library's n-th allocation from now on fails, and every later one (1: the next).
    void runOutAt(int allocation);
    int allocations() const; // made, since the object was made
    int frees() const;
};

} // namespace testing_support
