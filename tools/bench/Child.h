// A program started beside the benchmark: player-bench itself as a second host, or
// the panel.
#pragma once

#include "Unique.h"

#include <string>

namespace bench {

// Starts `program` (a file beside player-bench.exe) with `arguments`, its output
// dropped when `quiet`; its process handle, empty when it did not start.
tools::UniqueHandle startBeside(const wchar_t* program, const std::wstring& arguments, bool quiet = false);

} // namespace bench
