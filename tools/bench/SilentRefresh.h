// What a host's refresh of thirteen calls (tools/common/HostRefresh.h) costs against a
// player that stops answering, refresh after refresh, and whether its messages pile
// up in the player's queue; and the same thirteen answers asked by hand.
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace bench {

// The plain sequence a hand-written host would use for the refresh's thirteen answers.
void plainRefresh();

// Refreshes a second apart against a player answering every message after 1.3 s for
// 10 s, and against one stuck 9 s in one message; then until the title is back.
std::wstring silentRefreshReport(const tools::PluginLibrary& plugin);

} // namespace bench
