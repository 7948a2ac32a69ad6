#include "Console.h"

#include <cwchar>

namespace tools {
namespace {

bool usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
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

ConsoleOutput::ConsoleOutput() : previous_(GetConsoleOutputCP()) {
    SetConsoleOutputCP(CP_UTF8);
}

ConsoleOutput::~ConsoleOutput() {
    if (previous_ != 0)
        SetConsoleOutputCP(previous_);
}

std::wstring visible(std::wstring_view text) {
    std::wstring result;
    result.reserve(text.size());
    for (const wchar_t c : text) {
        const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
        const bool direction = (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
        if (!control && !direction) {
            result += c;
            continue;
        }
        wchar_t escaped[8];
        swprintf(escaped, 8, control ? L"\\x%02X" : L"\\u%04X", static_cast<unsigned>(c));
        result += escaped;
    }
    return result;
}

std::wstring systemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                            FORMAT_MESSAGE_IGNORE_INSERTS,
                                        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L' '))
        message.pop_back();
    // Status codes (HRESULTs) read as hexadecimal, as their documentation lists them.
    wchar_t code[24];
    swprintf(code, 24, (error & 0x80000000u) != 0 ? L"error 0x%08X" : L"error %u",
             static_cast<unsigned>(error));
    return (message.empty() ? L"" : message + L" ") + L"(" + code + L")";
}

void printTo(HANDLE target, std::wstring_view text) {
    const std::string bytes = toUtf8(text);
    DWORD written = 0;
    WriteFile(target, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

void print(std::wstring_view text) {
    printTo(GetStdHandle(STD_OUTPUT_HANDLE), text);
}
void printError(std::wstring_view text) {
    printTo(GetStdHandle(STD_ERROR_HANDLE), text);
}

void useParentConsole() {
    if (usable(GetStdHandle(STD_OUTPUT_HANDLE)) && usable(GetStdHandle(STD_ERROR_HANDLE)))
        return; // redirected to a file or pipe, or given a console
    if (!AttachConsole(ATTACH_PARENT_PROCESS))
        return; // started from a window or a service: nobody to tell
    const HANDLE console =
        CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, 0, nullptr);
    if (console == INVALID_HANDLE_VALUE)
        return;
    for (const DWORD which : {STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        if (!usable(GetStdHandle(which)))
            SetStdHandle(which, console);
}

} // namespace tools
