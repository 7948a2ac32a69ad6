// The playlist as the named item list "*playlist" (queryMenu, invokeMenu, freeMenu).
//
// queryMenu reads the playlist afresh into one zero-filled allocation of count + 1
// PlaylistMenuItem records from the process heap; the last is all zero. A count
// above PLAYER_PLAYLIST_MAX_ENTRIES gives the first that many entries, ids unchanged.
// It returns null, allocating nothing, for another name, an absent or silent player,
// an empty or negative count, or when memory runs out. Entries whose text the player
// did not give (it fell silent, vanished, or the call's one-second budget ran out)
// stay empty; the array is complete and terminated all the same, and without an
// answer to RM_PLAYLIST_CURRENT no entry is marked current. Each text request and its
// reply take one turn of the title (link/TitleTurn.h). freeMenu gives the array
// back to the same heap.
#pragma once

#include "player/PluginApi.h"

namespace player::menus {

PlaylistMenuItem* buildPlaylist(const wchar_t* listName) noexcept;
void playPlaylistItem(const wchar_t* listName, int item) noexcept;
void freePlaylist(PlaylistMenuItem* items) noexcept;

} // namespace player::menus
