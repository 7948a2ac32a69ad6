#include "Host.h"

#include "Console.h"
#include "PlayerRemote.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <vector>

namespace player_host {
namespace {

constexpr wchar_t kSection[] = L"player";
constexpr wchar_t kUntouched = 0xFFFF; // a unit no answer starts with

std::optional<std::wstring> answerIn(const std::vector<wchar_t>& buffer) {
    if (buffer[0] == kUntouched)
        return std::nullopt;
    return std::wstring(buffer.data());
}

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

std::wstring fullPath(const std::wstring& path) {
    wchar_t buffer[MAX_PATH * 4];
    const DWORD length =
        GetFullPathNameW(path.c_str(), static_cast<DWORD>(std::size(buffer)), buffer, nullptr);
    return length > 0 && length < std::size(buffer) ? std::wstring(buffer, length) : path;
}

} // namespace

Host::Host(const tools::PluginLibrary& plugin, const std::wstring& exePath, std::wstring iniPath)
    : plugin_(plugin), instance_(plugin.InitPlayer(exePath.c_str())), iniPath_(std::move(iniPath)),
      iniFullPath_(fullPath(iniPath_)) {}

Host::~Host() {
    plugin_.DestroyPlayer(instance_);
}

std::optional<std::wstring> Host::state(const wchar_t* name) const {
    std::vector<wchar_t> buffer(16, kUntouched);
    buffer.back() = L'\0';
    plugin_.getState(instance_, name, buffer.data());
    return answerIn(buffer);
}

std::optional<std::wstring> Host::text(const wchar_t* name, int size) const {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size > 0 ? size : 1) + 1, kUntouched);
    buffer.back() = L'\0';
    plugin_.getText(instance_, name, buffer.data(), size);
    return answerIn(buffer);
}

Host::Player Host::player() {
    const HWND window = FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr);
    if (window == nullptr)
        return Player::Absent;
    DWORD_PTR ignored = 0;
    return SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored) != 0
               ? Player::Responding
               : Player::NotResponding;
}

std::vector<PlayerParam> Host::settings() const {
    // The plug-in names its own parameters; the host only keeps them.
    const int count = plugin_.getPlayerParams(instance_, nullptr);
    std::vector<PlayerParam> params(static_cast<std::size_t>(count > 0 ? count : 0));
    if (!params.empty())
        plugin_.getPlayerParams(instance_, params.data());
    return params;
}

std::optional<std::int32_t> Host::setting(const wchar_t* name) const {
    for (const PlayerParam& param : settings())
        if (std::wstring(param.name) == name)
            return param.value;
    return std::nullopt;
}

void Host::restoreSettings() {
    restored_ = settings();
    if (GetFileAttributesW(iniFullPath_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    constexpr wchar_t kMissing[] = L"\x01";
    for (PlayerParam& param : restored_) {
        wchar_t text[64];
        GetPrivateProfileStringW(kSection, param.name, kMissing, text, static_cast<DWORD>(std::size(text)),
                                 iniFullPath_.c_str());
        if (std::wstring(text) == kMissing)
            continue;
        if (const std::optional<std::int32_t> value = parseValue(text))
            param.value = *value;
        else
            tools::printError(L"player-host: warning: " + std::wstring(param.name) + L"=" + text + L" in " +
                              iniPath_ + L" is not a 32-bit number; keeping " + std::to_wstring(param.value) +
                              L"\n");
    }
    plugin_.setPlayerParams(instance_, restored_.data(), static_cast<int>(restored_.size()));
}

Host::Saved Host::saveSettingsIfChanged(std::wstring& error) const {
    const std::vector<PlayerParam> now = settings();
    const bool changed =
        now.size() != restored_.size() ||
        !std::equal(now.begin(), now.end(), restored_.begin(), [](const auto& a, const auto& b) {
            return std::wstring(a.name) == b.name && a.value == b.value;
        });
    if (!changed)
        return Saved::Unchanged;
    for (const PlayerParam& param : now) {
        if (!WritePrivateProfileStringW(kSection, param.name, std::to_wstring(param.value).c_str(),
                                        iniFullPath_.c_str())) {
            error = L"cannot save the display settings to " + iniPath_ + L": " +
                    tools::systemMessage(GetLastError());
            return Saved::Failed;
        }
    }
    return Saved::Written;
}

} // namespace player_host
