#include "LibraryHeap.h"

#include "ImportPatch.h"
#include "Plugin.h"

#include <atomic>

namespace testing_support {
namespace {

using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapFreeFn = BOOL(WINAPI*)(HANDLE, DWORD, LPVOID);

HeapAllocFn realAlloc = nullptr;
HeapFreeFn realFree = nullptr;
std::atomic<int> asked{0}, made{0}, freed{0}, failFrom{0};

LPVOID WINAPI countedAlloc(HANDLE heap, DWORD flags, SIZE_T bytes) {
    const int call = ++asked;
    if (failFrom != 0 && call >= failFrom)
        return nullptr;
    ++made;
    return realAlloc(heap, flags, bytes);
}

BOOL WINAPI countedFree(HANDLE heap, DWORD flags, LPVOID block) {
    if (block != nullptr)
        ++freed;
    return realFree(heap, flags, block);
}

} // namespace

LibraryHeap::LibraryHeap() {
    asked = made = freed = failFrom = 0;
    const HMODULE library = plugin().module.get();
    realAlloc = reinterpret_cast<HeapAllocFn>(
        tools::patchImport(library, "HeapAlloc", reinterpret_cast<void*>(&countedAlloc)));
    realFree = reinterpret_cast<HeapFreeFn>(
        tools::patchImport(library, "HeapFree", reinterpret_cast<void*>(&countedFree)));
}

LibraryHeap::~LibraryHeap() {
    const HMODULE library = plugin().module.get();
    tools::patchImport(library, "HeapAlloc", reinterpret_cast<void*>(realAlloc));
    tools::patchImport(library, "HeapFree", reinterpret_cast<void*>(realFree));
}

void LibraryHeap::runOutAt(int allocation) {
    failFrom = asked + allocation;
}

int LibraryHeap::allocations() const {
    return made;
}

int LibraryHeap::frees() const {
    return freed;
}

} // namespace testing_support
