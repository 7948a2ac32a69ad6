// Json: one JSON document built by hand, for player-host --json. Strings are escaped
// (quotes, backslashes and every control character), so texts from a player are
// safe in it; the document is printed as UTF-8 like everything else.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace player_host {

std::wstring jsonString(std::wstring_view text);

class JsonObject {
public:
    JsonObject& add(std::wstring_view key, std::wstring_view text);
    JsonObject& add(std::wstring_view key, const wchar_t* text) { return add(key, std::wstring_view(text)); }
    JsonObject& add(std::wstring_view key, const std::wstring& text) {
        return add(key, std::wstring_view(text));
    }
    JsonObject& add(std::wstring_view key, const std::optional<std::wstring>& text); // null when absent
    JsonObject& add(std::wstring_view key, std::int64_t number);
    JsonObject& add(std::wstring_view key, int number) { return add(key, std::int64_t{number}); }
    JsonObject& add(std::wstring_view key, bool value);
    JsonObject& add(std::wstring_view key, double number);
    JsonObject& addJson(std::wstring_view key, std::wstring_view json); // already a JSON value
    std::wstring text() const { return L"{" + members_ + L"}"; }

private:
    JsonObject& member(std::wstring_view key, std::wstring_view json);
    std::wstring members_;
};

// What went wrong, in a command's own document: "error" and "exitCode" beside its facts,
// unless the exit code is 0.
JsonObject& withError(JsonObject& document, int exitCode, const std::wstring& error);

// A JSON array of values that are JSON already.
std::wstring jsonArray(const std::vector<std::wstring>& values);

// Prints `json`, a whole document, on standard output: a --json run prints one.
void printDocument(const std::wstring& json);
// Whether this run printed its document already.
bool documentPrinted();

} // namespace player_host
