// What a host's refresh (tools/common/HostRefresh.h) gets from a player of every pace:
// sluggish (every message, or only the texts, after a delay), pausing now and then,
// silent or hung. For each, refreshes a second apart: how many were answered in full,
// in part and not at all, the most times one value went between the player's answer
// and an absent player's, the longest first and later refresh, and what the plug-in
// sent the player, counted as Windows would queue it (tools/common/SendCounter.h).
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace bench {

std::wstring steadyRefreshReport(const tools::PluginLibrary& plugin);

} // namespace bench
