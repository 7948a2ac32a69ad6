// The plug-in's menus and hotkeys as a host shows them, as text or as one JSON document.
#pragma once

#include "ExitCodes.h"
#include "Host.h"

#include <vector>

namespace player_host {

// The context menu's item that starts the player ("Run default player").
inline constexpr int kRunPlayerItem = 1;

// Builds the context menu into a real menu and prints it read back from the handle.
// Not done when the player did not answer: its marks are unknown, or whether it offers
// ratings (the plug-in leaves out Rate both for a player without ratings and for one
// whose answer did not come: player-host then asks the player itself).
Outcome printContextMenu(const Host& host, bool json = false);
// The items K that `menu K` can carry out now.
std::vector<int> contextMenuItems(const Host& host);
// What a listing of the playlist got: every entry arrives with its id and mark, but
// texts only as long as the call's second lasts and the player answers.
struct PlaylistListing {
    bool returned = false;                          // the plug-in handed back a list
    Host::Player player = Host::Player::Responding; // as known after the call
    int count = 0;                                  // entries in the list
    int withText = 0;                               // entries whose text arrived: the plug-in asks in order
    bool complete = true;
    bool playerLeft = false; // the player quit or stopped answering during the call
    // As many entries as the plug-in hands back at most: the player's list may go on.
    bool atBound() const { return count == PLAYER_PLAYLIST_MAX_ENTRIES; }
    // "the first 65,536 entries, the most the plug-in hands back: ...", said alike everywhere.
    std::wstring bound() const;
    // What went wrong, in words, and its exit code; empty and kDone when nothing did.
    std::wstring error() const;
    int exitCode() const;
};
// The first `limit` entries, and how many more there are.
PlaylistListing printPlaylist(const Host& host, int limit, bool json = false);
int playlistLength(const Host& host);
void printHotkeys(const tools::PluginLibrary& plugin, bool json = false);

} // namespace player_host
