// Points a loaded module's import of a function at another function, through the
// module's import address table: only that module's calls are redirected. For
// measuring (the benchmark counts the library's allocations) and for tests (clocks
// that the tests set).
#pragma once

#include <windows.h>

namespace tools {

// Redirects `module`'s import of `function` (by name) to `replacement`; returns
// what it pointed at before, or null when the module does not import it by name.
void* patchImport(HMODULE module, const char* function, void* replacement);

} // namespace tools
