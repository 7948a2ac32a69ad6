#include "Host.h"

#include "Console.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <vector>

namespace player_host {
namespace {

constexpr wchar_t kUntouched = 0xFFFF; // a unit no answer starts with

std::optional<std::wstring> answerIn(const std::vector<wchar_t>& buffer) {
    if (buffer[0] == kUntouched)
        return std::nullopt;
    return std::wstring(buffer.data());
}

} // namespace

Host::Host(const tools::PluginLibrary& plugin, const std::wstring& exePath, std::wstring iniPath)
    : plugin_(plugin), exePath_(exePath), instance_(plugin.InitPlayer(exePath.c_str())),
      settings_(plugin, instance_, std::move(iniPath)) {}

Host::~Host() {
    plugin_.DestroyPlayer(instance_);
}

std::optional<std::wstring> Host::state(const wchar_t* name) const {
    std::vector<wchar_t> buffer(16, kUntouched);
    buffer.back() = L'\0';
    plugin_.getState(instance_, name, buffer.data());
    return answerIn(buffer);
}

std::optional<std::wstring> Host::text(const wchar_t* name, int size,
                                       std::optional<std::wstring>* standIn) const {
    std::vector<wchar_t> buffer(static_cast<std::size_t>(size > 0 ? size : 1) + 1, kUntouched);
    buffer.back() = L'\0';
    plugin_.getText(instance_, name, buffer.data(), size);
    std::optional<std::wstring> answer = answerIn(buffer);
    const bool hasStandIn = lstrcmpiW(name, L"tracktime") == 0 || lstrcmpiW(name, L"tipcaption") == 0;
    if (answer && hasStandIn && player() != Player::Responding) {
        if (standIn != nullptr)
            *standIn = std::move(answer);
        return std::nullopt;
    }
    return answer;
}

std::optional<int> Host::prop(const wchar_t* name, int kind) const {
    const int value = plugin_.getProp(instance_, name, kind);
    if (player() != Player::Responding)
        return std::nullopt;
    return value;
}

Host::Player Host::player() const {
    switch (tools::playerPresence(plugin_, instance_)) {
    case tools::PlayerPresence::Absent:
        return Player::Absent;
    case tools::PlayerPresence::Answering:
        return Player::Responding;
    case tools::PlayerPresence::NotAnswering:
        break;
    }
    return Player::NotResponding;
}

void Host::restoreSettings() {
    for (const std::wstring& warning : settings_.restore())
        tools::printError(L"player-host: warning: " + warning + L"\n");
}

} // namespace player_host
