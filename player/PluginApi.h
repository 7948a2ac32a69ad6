// The public host interface (include/PlayerPlugin.h) under the library's own names.
#pragma once

#include "PlayerPlugin.h"

namespace player {

using ::HotkeyCommand;
using ::PlayerParam;
using ::PlaylistMenuItem;

inline constexpr int kPlaylistFlagEntry = PLAYER_PLAYLIST_FLAG_ENTRY;
inline constexpr int kPlaylistFlagCurrent = PLAYER_PLAYLIST_FLAG_CURRENT;

} // namespace player
