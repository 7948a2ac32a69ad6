// The plug-in's menus and hotkeys as a host shows them.
#pragma once

#include "Host.h"

namespace player_host {

// Builds the context menu into a real menu and prints it read back from the handle.
void printContextMenu(const Host& host);
void printPlaylist(const Host& host);
void printHotkeys(const tools::PluginLibrary& plugin);

} // namespace player_host
