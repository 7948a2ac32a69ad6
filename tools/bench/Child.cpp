#include "Child.h"

#include "PluginLibrary.h"

namespace bench {

tools::UniqueHandle startBeside(const wchar_t* program, const std::wstring& arguments) {
    std::wstring command = L"\"" + tools::besideProgram(program) + L"\" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION child{};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &child))
        return {};
    CloseHandle(child.hThread);
    return tools::UniqueHandle(child.hProcess);
}

} // namespace bench
