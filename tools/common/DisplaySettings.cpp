#include "DisplaySettings.h"

#include "Console.h"

#include <shlobj.h>

#include <algorithm>
#include <climits>
#include <iterator>

namespace tools {
namespace {

constexpr wchar_t kSection[] = L"player";

// The whole of a decimal 32-bit number, or nothing.
std::optional<std::int32_t> parseValue(const std::wstring& text) {
    std::size_t i = 0;
    bool negative = false;
    if (!text.empty() && (text[0] == L'-' || text[0] == L'+')) {
        negative = text[0] == L'-';
        i = 1;
    }
    if (i == text.size())
        return std::nullopt;
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < L'0' || text[i] > L'9')
            return std::nullopt;
        value = value * 10 + (text[i] - L'0');
        if (value > std::int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value > INT32_MAX)
        return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::wstring absolutePath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    return length > 0 && length < std::size(buffer) ? std::wstring(buffer, length) : path;
}

// %APPDATA%\player, or empty when the system names no such folder.
std::wstring settingsFolder() {
    wchar_t* roaming = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_RoamingAppData, 0, nullptr, &roaming)))
        folder = std::wstring(roaming) + L"\\player";
    CoTaskMemFree(roaming);
    return folder;
}

std::wstring parentOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

bool sameSettings(const std::vector<PlayerParam>& a, const std::vector<PlayerParam>& b) {
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [](const auto& x, const auto& y) {
               return std::wstring(x.name) == y.name && x.value == y.value;
           });
}

} // namespace

std::wstring defaultSettingsPath(const wchar_t* fileName) {
    const std::wstring folder = settingsFolder();
    return folder.empty() ? besideProgram(fileName) : folder + L"\\" + fileName;
}

DisplaySettings::DisplaySettings(const PluginLibrary& plugin, PlayerInstance* instance, std::wstring path)
    : plugin_(plugin), instance_(instance), path_(std::move(path)), fullPath_(absolutePath(path_)) {}

std::vector<PlayerParam> DisplaySettings::current() const {
    // The plug-in names its own parameters; the host only keeps them.
    const int count = plugin_.getPlayerParams(instance_, nullptr);
    std::vector<PlayerParam> params(static_cast<std::size_t>(count > 0 ? count : 0));
    if (!params.empty())
        plugin_.getPlayerParams(instance_, params.data());
    return params;
}

std::optional<std::int32_t> currentSetting(const PluginLibrary& plugin, PlayerInstance* instance,
                                           const wchar_t* name) {
    PlayerParam params[PLAYER_PARAM_COUNT] = {};
    if (plugin.getPlayerParams(instance, nullptr) != PLAYER_PARAM_COUNT)
        return std::nullopt;
    plugin.getPlayerParams(instance, params);
    for (const PlayerParam& param : params)
        if (std::wstring(param.name) == name)
            return param.value;
    return std::nullopt;
}

std::optional<std::int32_t> DisplaySettings::value(const wchar_t* name) const {
    return currentSetting(plugin_, instance_, name);
}

std::wstring DisplaySettings::whyUnsavable() const {
    const std::wstring folder = parentOf(fullPath_);
    if (folder.empty() || lstrcmpiW(folder.c_str(), settingsFolder().c_str()) == 0)
        return L""; // made at the first save
    if (GetFileAttributesW(folder.c_str()) != INVALID_FILE_ATTRIBUTES)
        return L"";
    return L"the folder " + visible(parentOf(path_).empty() ? folder : parentOf(path_)) +
           L" does not exist: changes to the display settings will not be saved";
}

std::vector<std::wstring> DisplaySettings::restore() {
    std::vector<std::wstring> warnings;
    inFile_ = current();
    if (GetFileAttributesW(fullPath_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return warnings;
    constexpr wchar_t kMissing[] = L"\x01";
    for (PlayerParam& param : inFile_) {
        wchar_t text[64];
        GetPrivateProfileStringW(kSection, param.name, kMissing, text, static_cast<DWORD>(std::size(text)),
                                 fullPath_.c_str());
        if (std::wstring(text) == kMissing)
            continue;
        if (const std::optional<std::int32_t> parsed = parseValue(text))
            param.value = *parsed;
        else
            warnings.push_back(std::wstring(param.name) + L"=" + visible(text) + L" in " + path_ +
                               L" is not a 32-bit number; keeping " + std::to_wstring(param.value));
    }
    plugin_.setPlayerParams(instance_, inFile_.data(), static_cast<int>(inFile_.size()));
    return warnings;
}

DisplaySettings::Saved DisplaySettings::saveIfChanged(std::wstring& error) {
    const std::vector<PlayerParam> now = current();
    if (sameSettings(now, inFile_))
        return Saved::Unchanged;
    return write(now, error);
}

DisplaySettings::Saved DisplaySettings::save(std::wstring& error) {
    return write(current(), error);
}

DisplaySettings::Saved DisplaySettings::write(const std::vector<PlayerParam>& now, std::wstring& error) {
    // The default folder is made at the first save; a folder the user named must exist.
    const std::wstring folder = parentOf(fullPath_);
    if (!folder.empty() && lstrcmpiW(folder.c_str(), settingsFolder().c_str()) == 0)
        CreateDirectoryW(folder.c_str(), nullptr);
    for (const PlayerParam& param : now) {
        if (!WritePrivateProfileStringW(kSection, param.name, std::to_wstring(param.value).c_str(),
                                        fullPath_.c_str())) {
            error = L"cannot save the display settings to " + path_ + L": " + systemMessage(GetLastError());
            return Saved::Failed;
        }
    }
    inFile_ = now;
    return Saved::Written;
}

} // namespace tools
