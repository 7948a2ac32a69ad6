#include "ImportCounter.h"

#include <atomic>
#include <cstdlib>
#include <cstring>

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
    auto* base = reinterpret_cast<unsigned char*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    int patched = 0;
    for (auto* import = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
         import->Name != 0; ++import) {
        auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + import->OriginalFirstThunk);
        auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
        for (; names->u1.AddressOfData != 0; ++names, ++addresses) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            for (const Hook& hook : kHooks) {
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), hook.name) != 0)
                    continue;
                DWORD old;
                VirtualProtect(&addresses->u1.Function, sizeof(void*), PAGE_READWRITE, &old);
                *hook.real = reinterpret_cast<void*>(addresses->u1.Function);
                addresses->u1.Function = reinterpret_cast<DWORD_PTR>(hook.wrapper);
                VirtualProtect(&addresses->u1.Function, sizeof(void*), old, &old);
                ++patched;
            }
        }
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
