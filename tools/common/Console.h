// UTF-8 console output for the tools: correct non-ASCII text on a Windows
// console, and raw UTF-8 bytes on a pipe or file (as Wine gives a Linux terminal).
#pragma once

#include <windows.h>
#include <string>
#include <string_view>

namespace tools {

std::string toUtf8(std::wstring_view text);
std::wstring fromUtf8(std::string_view text);

// The system's own words for an error code, e.g. "Access denied. (error 5)"; a status
// code (HRESULT) shows as hexadecimal: "... (error 0x80070003)".
std::wstring systemMessage(DWORD error);

// Text from outside (a player's titles, a user's arguments) made safe for a terminal:
// control characters and direction overrides appear escaped as \xHH or \uHHHH.
std::wstring visible(std::wstring_view text);

// For the length of a program's run: the console takes UTF-8, and gets its own
// output code page back at the end.
class ConsoleOutput {
public:
    ConsoleOutput();
    ~ConsoleOutput();
    ConsoleOutput(const ConsoleOutput&) = delete;
    ConsoleOutput& operator=(const ConsoleOutput&) = delete;

private:
    UINT previous_;
};

// Writes to standard output (or error) as UTF-8; flushes at once.
void print(std::wstring_view text);
void printError(std::wstring_view text);
// Writes to a file or pipe as UTF-8.
void printTo(HANDLE target, std::wstring_view text);

// For a windowed program: when it was given no standard output, writes go to the
// console of the process that started it, if that has one. A windowed program never
// gets a console of its own.
void useParentConsole();

} // namespace tools
