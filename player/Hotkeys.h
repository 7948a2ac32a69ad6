// The hotkey catalogue (getHotkeyCommands): eleven commands meant for keyboard
// shortcuts, each a name that sendCmd carries out and a short description. The
// texts are fixed, misspellings included; hosts may show or store them as they are.
#pragma once

#include "player/PluginApi.h"

namespace player {

inline constexpr int kHotkeyCount = PLAYER_HOTKEY_COUNT;

inline constexpr HotkeyCommand HotkeyCatalogue[kHotkeyCount] = {
    {L"playpause", L"Play/Pause"},
    {L"play", L"Play"},
    {L"stop", L"Stop"},
    {L"next", L"Play Next track"},
    {L"prev", L"Play previouse track"},
    {L"volumeup", L"Volume UP"},
    {L"volumedown", L"Volume DOWN"},
    {L"quit", L"Close"},
    {L"eject", L"Eject"},
    {L"shuffle", L"Togle shuffle state"},
    {L"repeat", L"Togle repeat state"},
};
static_assert(sizeof(HotkeyCatalogue) == 7810);

// Copies all 7810 bytes when entries is not null; returns 11.
int copyHotkeys(HotkeyCommand* entries) noexcept;

} // namespace player
