#include "Console.h"

namespace tools {
namespace {

void write(DWORD which, std::wstring_view text) {
    static const bool utf8Console = [] {
        SetConsoleOutputCP(CP_UTF8);
        return true;
    }();
    (void)utf8Console;
    const std::string bytes = toUtf8(text);
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

} // namespace

std::string toUtf8(std::wstring_view text) {
    if (text.empty())
        return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                         nullptr, nullptr);
    std::string result(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size, nullptr,
                        nullptr);
    return result;
}

std::wstring fromUtf8(std::string_view text) {
    if (text.empty())
        return {};
    const int size = MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<std::size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), size);
    return result;
}

void print(std::wstring_view text) {
    write(STD_OUTPUT_HANDLE, text);
}
void printError(std::wstring_view text) {
    write(STD_ERROR_HANDLE, text);
}

} // namespace tools
