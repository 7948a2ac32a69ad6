#include "Console.h"

#include <cwchar>

namespace tools {
namespace {

void write(DWORD which, std::wstring_view text) {
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
    return (message.empty() ? L"" : message + L" ") + L"(error " + std::to_wstring(error) + L")";
}

void print(std::wstring_view text) {
    write(STD_OUTPUT_HANDLE, text);
}
void printError(std::wstring_view text) {
    write(STD_ERROR_HANDLE, text);
}

} // namespace tools
