// Runs the build's own programs from a test, as a user would from a shell.
#pragma once

#include "Unique.h"

#include <windows.h>
#include <string>

namespace testing_support {

struct ProgramRun {
    DWORD exitCode = 0;
    std::wstring output; // standard output, decoded from UTF-8
    std::wstring errors; // standard error, decoded from UTF-8
};

// The exit code of a program that was ended because it ran past its time.
inline constexpr DWORD kTimedOut = 0xDEADu;

// Runs `commandLine` to its end and collects its output; one still running after
// `timeoutMs` is ended, with the exit code kTimedOut.
ProgramRun runProgram(const std::wstring& commandLine, DWORD timeoutMs = 30000);

// Starts `commandLine` and returns its process handle, empty when it did not start.
tools::UniqueHandle startProgram(const std::wstring& commandLine);

// Waits until `predicate` holds, polling every 20 ms for at most `timeoutMs`.
template <typename Predicate>
bool waitUntil(Predicate predicate, DWORD timeoutMs = 10000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!predicate()) {
        if (GetTickCount64() > deadline)
            return false;
        Sleep(20);
    }
    return true;
}

} // namespace testing_support
