#include "Json.h"

#include "Console.h"

#include <cwchar>

namespace player_host {

std::wstring jsonString(std::wstring_view text) {
    std::wstring json = L"\"";
    for (const wchar_t c : text) {
        if (c == L'"' || c == L'\\') {
            json += L'\\';
            json += c;
        } else if (c < 0x20 || c == 0x7F) {
            wchar_t escaped[8];
            swprintf(escaped, 8, L"\\u%04X", static_cast<unsigned>(c));
            json += escaped;
        } else {
            json += c;
        }
    }
    return json + L"\"";
}

JsonObject& JsonObject::member(std::wstring_view key, std::wstring_view json) {
    if (!members_.empty())
        members_ += L",";
    members_ += jsonString(key) + L":" + std::wstring(json);
    return *this;
}

JsonObject& JsonObject::add(std::wstring_view key, std::wstring_view text) {
    return member(key, jsonString(text));
}

JsonObject& JsonObject::add(std::wstring_view key, const std::optional<std::wstring>& text) {
    return member(key, text ? jsonString(*text) : L"null");
}

JsonObject& JsonObject::add(std::wstring_view key, std::int64_t number) {
    return member(key, std::to_wstring(number));
}

JsonObject& JsonObject::add(std::wstring_view key, bool value) {
    return member(key, value ? L"true" : L"false");
}

JsonObject& JsonObject::add(std::wstring_view key, double number) {
    wchar_t text[32];
    swprintf(text, 32, L"%.3f", number);
    return member(key, text);
}

JsonObject& JsonObject::addJson(std::wstring_view key, std::wstring_view json) {
    return member(key, json);
}

namespace {
bool printed = false;
}

JsonObject& withError(JsonObject& document, int exitCode, const std::wstring& error) {
    return exitCode == 0 ? document : document.add(L"error", error).add(L"exitCode", exitCode);
}

void printDocument(const std::wstring& json) {
    tools::print(json + L"\n");
    printed = true;
}

bool documentPrinted() {
    return printed;
}

std::wstring jsonArray(const std::vector<std::wstring>& values) {
    std::wstring json = L"[";
    for (std::size_t i = 0; i < values.size(); ++i)
        json += (i == 0 ? L"" : L",") + values[i];
    return json + L"]";
}

} // namespace player_host
