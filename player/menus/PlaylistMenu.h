// The playlist as the named item list "*playlist" (queryMenu, invokeMenu, freeMenu).
//
// queryMenu reads the whole playlist afresh into one zero-filled allocation of
// count + 1 PlaylistMenuItem records from the process heap; the last is all zero.
// It returns null, allocating nothing, for another name, an absent player, an
// empty or negative count, a size beyond 2 GiB (31 bits), or when memory runs out. Entries
// whose text the player did not give (it hung, vanished, or the call's one-second
// budget ran out) stay empty; the array is complete and terminated all the same,
// and without an answer to RM_PLAYLIST_CURRENT no entry is marked current. freeMenu gives the array back to
// the same heap.
#pragma once

#include "player/PluginApi.h"

namespace player::menus {

PlaylistMenuItem* buildPlaylist(const wchar_t* listName) noexcept;
void playPlaylistItem(const wchar_t* listName, int item) noexcept;
void freePlaylist(PlaylistMenuItem* items) noexcept;

} // namespace player::menus
