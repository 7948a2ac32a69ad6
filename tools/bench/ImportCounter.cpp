#include "ImportCounter.h"

#include "ImportPatch.h"

#include <atomic>
#include <cstdlib>

namespace bench {
namespace {

std::atomic<long> allocations{0};

using HeapAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, SIZE_T);
using HeapReAllocFn = LPVOID(WINAPI*)(HANDLE, DWORD, LPVOID, SIZE_T);
using LocalAllocFn = HLOCAL(WINAPI*)(UINT, SIZE_T);
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using MallocFn = void*(__cdecl*)(size_t);
using CallocFn = void*(__cdecl*)(size_t, size_t);
using ReallocFn = void*(__cdecl*)(void*, size_t);

HeapAllocFn realHeapAlloc;
HeapReAllocFn realHeapReAlloc;
LocalAllocFn realLocalAlloc;
GlobalAllocFn realGlobalAlloc;
MallocFn realMalloc;
CallocFn realCalloc;
ReallocFn realRealloc;

LPVOID WINAPI countedHeapAlloc(HANDLE heap, DWORD flags, SIZE_T size) {
    ++allocations;
    return realHeapAlloc(heap, flags, size);
}
LPVOID WINAPI countedHeapReAlloc(HANDLE heap, DWORD flags, LPVOID memory, SIZE_T size) {
    ++allocations;
    return realHeapReAlloc(heap, flags, memory, size);
}
HLOCAL WINAPI countedLocalAlloc(UINT flags, SIZE_T size) {
    ++allocations;
    return realLocalAlloc(flags, size);
}
HGLOBAL WINAPI countedGlobalAlloc(UINT flags, SIZE_T size) {
    ++allocations;
    return realGlobalAlloc(flags, size);
}
void* __cdecl countedMalloc(size_t size) {
    ++allocations;
    return realMalloc(size);
}
void* __cdecl countedCalloc(size_t count, size_t size) {
    ++allocations;
    return realCalloc(count, size);
}
void* __cdecl countedRealloc(void* memory, size_t size) {
    ++allocations;
    return realRealloc(memory, size);
}

struct Hook {
    const char* name;
    void* wrapper;
    void** real;
};

const Hook kHooks[] = {
    {"HeapAlloc", reinterpret_cast<void*>(&countedHeapAlloc), reinterpret_cast<void**>(&realHeapAlloc)},
    {"HeapReAlloc", reinterpret_cast<void*>(&countedHeapReAlloc), reinterpret_cast<void**>(&realHeapReAlloc)},
    {"LocalAlloc", reinterpret_cast<void*>(&countedLocalAlloc), reinterpret_cast<void**>(&realLocalAlloc)},
    {"GlobalAlloc", reinterpret_cast<void*>(&countedGlobalAlloc), reinterpret_cast<void**>(&realGlobalAlloc)},
    {"malloc", reinterpret_cast<void*>(&countedMalloc), reinterpret_cast<void**>(&realMalloc)},
    {"calloc", reinterpret_cast<void*>(&countedCalloc), reinterpret_cast<void**>(&realCalloc)},
    {"realloc", reinterpret_cast<void*>(&countedRealloc), reinterpret_cast<void**>(&realRealloc)},
};

} // namespace

int countAllocationsOf(HMODULE module) {
    int patched = 0;
    for (const Hook& hook : kHooks)
        if (void* real = tools::patchImport(module, hook.name, hook.wrapper)) {
            *hook.real = real;
            ++patched;
        }
    return patched;
}

long allocationCount() {
    return allocations.load();
}
void resetAllocationCount() {
    allocations = 0;
}

} // namespace bench
