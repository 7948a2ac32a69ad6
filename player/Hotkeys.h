// The hotkey catalogue (getHotkeyCommands): eleven commands meant for keyboard
// shortcuts, each a name that sendCmd carries out and a short description. The
// texts are fixed, misspellings included; hosts may show or store them as they are.
#pragma once

#include "player/PluginApi.h"

namespace player {

inline constexpr int kHotkeyCount = PLAYER_HOTKEY_COUNT;

// The header's list is the catalogue: hosts read there what they get here.
#define PLAYER_HOTKEY_ROW(command, description) {command, description},
inline constexpr HotkeyCommand HotkeyCatalogue[kHotkeyCount] = {PLAYER_HOTKEYS(PLAYER_HOTKEY_ROW)};
#undef PLAYER_HOTKEY_ROW
static_assert(sizeof(HotkeyCatalogue) == 7810);

// Copies all 7810 bytes when entries is not null; returns 11.
int copyHotkeys(HotkeyCommand* entries) noexcept;

} // namespace player
