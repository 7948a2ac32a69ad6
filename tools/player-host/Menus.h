// The plug-in's menus and hotkeys as a host shows them.
#pragma once

#include "Host.h"

#include <vector>

namespace player_host {

// Builds the context menu into a real menu and prints it read back from the handle.
void printContextMenu(const Host& host);
// The items K that `menu K` can carry out now.
std::vector<int> contextMenuItems(const Host& host);
// The first `limit` entries, and how many more there are.
void printPlaylist(const Host& host, int limit);
int playlistLength(const Host& host);
void printHotkeys(const tools::PluginLibrary& plugin);

} // namespace player_host
