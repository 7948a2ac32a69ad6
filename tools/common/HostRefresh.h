// HostRefresh: what a host panel asks the plug-in at each refresh, about once a
// second: four states, four texts and five properties, thirteen calls in a row. The
// benchmark times it and the tests drive it, so that both mean the same refresh.
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace tools {

inline constexpr int kHostRefreshCalls = 13;

struct RefreshAnswers {
    std::wstring title; // as getText left it: empty when it wrote nothing
    int volume = 0;     // getProp("volume", 5)
};

// The thirteen calls, in the order a panel makes them.
RefreshAnswers hostRefresh(const PluginLibrary& plugin, PlayerInstance* instance);

} // namespace tools
