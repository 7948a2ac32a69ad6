// The public host interface (include/playerPlugin.h) under the library's own names.
#pragma once

#include "playerPlugin.h"

namespace player {

using ::HotkeyCommand;
using ::PlayerParam;
using ::PlaylistMenuItem;

inline constexpr int kPlaylistFlagEntry = PLAYER_PLAYLIST_FLAG_ENTRY;
inline constexpr int kPlaylistFlagCurrent = PLAYER_PLAYLIST_FLAG_CURRENT;

} // namespace player
