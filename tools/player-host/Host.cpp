#include "Host.h"

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

} // namespace

Host::Host(const tools::PluginLibrary& plugin, const std::wstring& exePath, std::wstring iniPath)
    : plugin_(plugin), instance_(plugin.InitPlayer(exePath.c_str())), iniPath_(std::move(iniPath)) {}

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

void Host::restoreSettings() const {
    if (GetFileAttributesW(iniPath_.c_str()) == INVALID_FILE_ATTRIBUTES)
        return;
    // The plug-in names its own parameters; the host only keeps them.
    const int count = plugin_.getPlayerParams(instance_, nullptr);
    if (count <= 0)
        return;
    std::vector<PlayerParam> params(static_cast<std::size_t>(count));
    plugin_.getPlayerParams(instance_, params.data());
    for (PlayerParam& param : params)
        param.value = static_cast<std::int32_t>(
            GetPrivateProfileIntW(kSection, param.name, param.value, iniPath_.c_str()));
    plugin_.setPlayerParams(instance_, params.data(), count);
}

bool Host::saveSettingsIfChanged() const {
    if (prop(L"needsave", 0) == 0)
        return false;
    const int count = plugin_.getPlayerParams(instance_, nullptr);
    std::vector<PlayerParam> params(static_cast<std::size_t>(count > 0 ? count : 0));
    plugin_.getPlayerParams(instance_, params.data());
    for (const PlayerParam& param : params)
        WritePrivateProfileStringW(kSection, param.name, std::to_wstring(param.value).c_str(),
                                   iniPath_.c_str());
    return true;
}

} // namespace player_host
