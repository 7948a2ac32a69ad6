#include "Child.h"

#include "PluginLibrary.h"

namespace bench {

tools::UniqueHandle startBeside(const wchar_t* program, const std::wstring& arguments, bool quiet) {
    std::wstring command = L"\"" + tools::besideProgram(program) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
    const tools::UniqueHandle nowhere(
        quiet ? CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherited, OPEN_EXISTING, 0, nullptr)
              : nullptr);
    if (nowhere && nowhere.get() != INVALID_HANDLE_VALUE) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = nowhere.get();
    }
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, quiet, 0, nullptr, nullptr, &startup,
                        &child))
        return {};
    CloseHandle(child.hThread);
    return tools::UniqueHandle(child.hProcess);
}

} // namespace bench
