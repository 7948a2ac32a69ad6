#include "Process.h"

#include "Console.h"
#include "Unique.h"

#include <atomic>
#include <cstdio>
#include <mutex>
#include <thread>

namespace testing_support {

namespace {

// CreateProcessW, and Windows' error or ERROR_SUCCESS. Wine answers ERROR_INTERNAL_ERROR
// when the new process ended inside Wine's own start, before any of its code ran (seen
// now and then beside a busy machine): such a start is tried again, and said.
DWORD createProcess(const std::wstring& commandLine, bool inheritHandles, STARTUPINFOW& startup,
                    PROCESS_INFORMATION& info) {
    DWORD error = ERROR_SUCCESS;
    for (int attempt = 0; attempt < 3; ++attempt) {
        std::wstring mutableLine = commandLine;
        if (CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, inheritHandles, 0, nullptr, nullptr,
                           &startup, &info))
            return ERROR_SUCCESS;
        error = GetLastError();
        if (error != ERROR_INTERNAL_ERROR)
            break;
        std::fwprintf(stderr, L"note: Wine did not start %ls (error 1359); starting it again\n",
                      commandLine.c_str());
    }
    return error;
}

} // namespace

struct RunningProgram::State {
    tools::UniqueHandle process;
    DWORD id = 0;
    DWORD exitCode = 0;
    bool finished = false;
    std::wstring failure; // why it did not start
    mutable std::mutex mutex;
    std::string output, errors, both;
    std::thread outputReader, errorReader;

    std::atomic<bool> ended{false};

    // Reads a pipe until the program has ended and the pipe holds nothing more. Not
    // until the pipe closes: Wine starts its own helper processes (a desktop, 32-bit
    // services) from the first program that needs them, and they inherit its handles.
    void drain(tools::UniqueHandle pipe, std::string State::*into) {
        char chunk[4096];
        for (;;) {
            const bool last = ended; // read after the end: everything written is in the pipe by then
            DWORD available = 0;
            if (!PeekNamedPipe(pipe.get(), nullptr, 0, nullptr, &available, nullptr))
                return; // closed: every writer has gone
            if (available == 0) {
                if (last)
                    return;
                Sleep(5);
                continue;
            }
            DWORD read = 0;
            if (!ReadFile(pipe.get(), chunk, available < sizeof chunk ? available : sizeof chunk, &read,
                          nullptr))
                return;
            const std::lock_guard lock(mutex);
            (this->*into).append(chunk, read);
            both.append(chunk, read);
        }
    }
};

RunningProgram::RunningProgram() : state_(std::make_unique<State>()) {
    state_->failure = L"no program started";
}

RunningProgram::RunningProgram(const std::wstring& commandLine) : state_(std::make_unique<State>()) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    tools::UniqueHandle outRead, outWrite, errRead, errWrite;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
        !CreatePipe(errRead.put(), errWrite.put(), &inherit, 0)) {
        state_->failure = L"cannot make the pipes for " + commandLine;
        return;
    }
    SetHandleInformation(outRead.get(), HANDLE_FLAG_INHERIT, 0);
    SetHandleInformation(errRead.get(), HANDLE_FLAG_INHERIT, 0);

    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = outWrite.get();
    startup.hStdError = errWrite.get();
    PROCESS_INFORMATION info{};
    const DWORD error = createProcess(commandLine, true, startup, info);
    const bool started = error == ERROR_SUCCESS;
    // The child holds the write ends now; ours would keep the pipes from ever ending.
    outWrite.reset();
    errWrite.reset();
    if (!started) {
        state_->failure = L"cannot start " + commandLine + L" (error " + std::to_wstring(error) + L": " +
                          tools::systemMessage(error) + L")";
        return;
    }
    CloseHandle(info.hThread);
    state_->process.reset(info.hProcess);
    state_->id = info.dwProcessId;
    State* state = state_.get();
    state->outputReader = std::thread(
        [state, pipe = std::move(outRead)]() mutable { state->drain(std::move(pipe), &State::output); });
    state->errorReader = std::thread(
        [state, pipe = std::move(errRead)]() mutable { state->drain(std::move(pipe), &State::errors); });
}

RunningProgram::~RunningProgram() {
    if (state_ && started())
        finish(0);
}

RunningProgram::RunningProgram(RunningProgram&&) noexcept = default;
RunningProgram& RunningProgram::operator=(RunningProgram&&) noexcept = default;

bool RunningProgram::started() const {
    return static_cast<bool>(state_->process);
}

HANDLE RunningProgram::process() const {
    return state_->process.get();
}

DWORD RunningProgram::id() const {
    return state_->id;
}

bool RunningProgram::running() const {
    return started() && WaitForSingleObject(state_->process.get(), 0) == WAIT_TIMEOUT;
}

std::wstring RunningProgram::printed() const {
    const std::lock_guard lock(state_->mutex);
    return tools::fromUtf8(state_->both);
}

ProgramRun RunningProgram::finish(DWORD timeoutMs) {
    ProgramRun run;
    State& s = *state_;
    if (!started()) {
        run.exitCode = static_cast<DWORD>(-1);
        run.errors = s.failure;
        return run;
    }
    if (!s.finished) {
        // A child past its time is ended, which closes its ends of the pipes.
        if (WaitForSingleObject(s.process.get(), timeoutMs) == WAIT_TIMEOUT) {
            TerminateProcess(s.process.get(), kTimedOut);
            WaitForSingleObject(s.process.get(), INFINITE);
        }
        s.ended = true;
        s.outputReader.join();
        s.errorReader.join();
        GetExitCodeProcess(s.process.get(), &s.exitCode);
        s.finished = true;
    }
    run.exitCode = s.exitCode;
    run.output = tools::fromUtf8(s.output);
    run.errors = tools::fromUtf8(s.errors);
    return run;
}

ProgramRun runProgram(const std::wstring& commandLine, DWORD timeoutMs) {
    return RunningProgram(commandLine).finish(timeoutMs);
}

tools::UniqueHandle startProgram(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    if (createProcess(commandLine, false, startup, process) != ERROR_SUCCESS)
        return {};
    const tools::UniqueHandle thread(process.hThread);
    return tools::UniqueHandle(process.hProcess);
}

} // namespace testing_support
