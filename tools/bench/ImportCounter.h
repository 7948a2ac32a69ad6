// Counts the heap allocations that one loaded module makes, by pointing its import
// table entries for the allocation functions (HeapAlloc, malloc and the like) at
// counting wrappers. Only calls made by that module are counted.
#pragma once

#include <windows.h>

namespace bench {

// Patches `module`'s imports; returns the number of entries patched.
int countAllocationsOf(HMODULE module);
long allocationCount();
void resetAllocationCount();

} // namespace bench
