// What a host's refresh (tools/common/HostRefresh.h) costs against a player that
// answers every message, but slowly: the time each refresh holds the host, what the
// host was told (the player's answers, an absent player's, or anything else), and how
// many refreshes it takes to be answered in full once the player is prompt again.
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace bench {

std::wstring slowRefreshReport(const tools::PluginLibrary& plugin);

} // namespace bench
