#include "Process.h"

#include "Console.h"
#include "Unique.h"

#include <thread>

namespace testing_support {
namespace {

std::string drain(HANDLE pipe) {
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(pipe, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    return bytes;
}

} // namespace

ProgramRun runProgram(const std::wstring& commandLine, DWORD timeoutMs) {
    SECURITY_ATTRIBUTES inherit{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
    tools::UniqueHandle outRead, outWrite, errRead, errWrite;
    ProgramRun run;
    if (!CreatePipe(outRead.put(), outWrite.put(), &inherit, 0) ||
        !CreatePipe(errRead.put(), errWrite.put(), &inherit, 0)) {
        run.exitCode = static_cast<DWORD>(-1);
        run.errors = L"cannot make the pipes for " + commandLine;
        return run;
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
    std::wstring mutableLine = commandLine;
    const BOOL started = CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    // The child holds the write ends now; ours would keep the pipes from ever ending.
    outWrite.reset();
    errWrite.reset();
    if (!started) {
        run.exitCode = static_cast<DWORD>(-1);
        run.errors = L"cannot start " + commandLine;
        return run;
    }
    const tools::UniqueHandle process(info.hProcess);
    const tools::UniqueHandle thread(info.hThread);
    // The pipes are read while the time runs; a child past its time is ended, which
    // closes its ends of the pipes.
    std::string output, errors;
    std::thread outputReader([&] { output = drain(outRead.get()); });
    std::thread errorReader([&] { errors = drain(errRead.get()); });
    if (WaitForSingleObject(process.get(), timeoutMs) == WAIT_TIMEOUT) {
        TerminateProcess(process.get(), kTimedOut);
        WaitForSingleObject(process.get(), INFINITE);
    }
    outputReader.join();
    errorReader.join();
    GetExitCodeProcess(process.get(), &run.exitCode);
    run.output = tools::fromUtf8(output);
    run.errors = tools::fromUtf8(errors);
    return run;
}

tools::UniqueHandle startProgram(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring mutableLine = commandLine;
    if (!CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return {};
    const tools::UniqueHandle thread(process.hThread);
    return tools::UniqueHandle(process.hProcess);
}

} // namespace testing_support
