// The plug-in's menus and hotkeys as a host shows them, as text or as one JSON document.
#pragma once

#include "Host.h"

#include <vector>

namespace player_host {

// Builds the context menu into a real menu and prints it read back from the handle.
void printContextMenu(const Host& host, bool json = false);
// The items K that `menu K` can carry out now.
std::vector<int> contextMenuItems(const Host& host);
// The first `limit` entries, and how many more there are.
void printPlaylist(const Host& host, int limit, bool json = false);
int playlistLength(const Host& host);
void printHotkeys(const tools::PluginLibrary& plugin, bool json = false);

} // namespace player_host
