// UTF-8 console output for the tools: correct non-ASCII text on a Windows
// console, and raw UTF-8 bytes on a pipe or file (as Wine gives a Linux terminal).
#pragma once

#include <windows.h>
#include <string>
#include <string_view>

namespace tools {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

// Writes to standard output (or error) as UTF-8; flushes at once.
void print(std::wstring_view text);
void printError(std::wstring_view text);

} // namespace tools
