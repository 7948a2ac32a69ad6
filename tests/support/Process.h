// Runs the build's own programs from a test, as a user would from a shell.
#pragma once

#include "Unique.h"

#include <windows.h>

#include <memory>
#include <string>

namespace testing_support {

struct ProgramRun {
    DWORD exitCode = 0;
    std::wstring output; // standard output, decoded from UTF-8
    std::wstring errors; // standard error, decoded from UTF-8
};

// The exit code of a program that was ended because it ran past its time.
inline constexpr DWORD kTimedOut = 0xDEADu;

// A program started with its output and errors collected while it runs, so that a
// test can wait for what it prints instead of sleeping. Ended if still running when
// the object goes.
class RunningProgram {
public:
    RunningProgram(); // none yet
    explicit RunningProgram(const std::wstring& commandLine);
    ~RunningProgram();
    RunningProgram(RunningProgram&&) noexcept;
    RunningProgram& operator=(RunningProgram&&) noexcept;

    bool started() const;
    HANDLE process() const;
    DWORD id() const;
    bool running() const;
    // What it printed so far, standard output and error together.
    std::wstring printed() const;
    // Waits for its end, ending it with kTimedOut after `timeoutMs`, and collects the run.
    ProgramRun finish(DWORD timeoutMs = 30000);

private:
    struct State;
    std::unique_ptr<State> state_;
};

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
