// HostRefresh: what a host panel asks the plug-in at each refresh, about once a
// second: four states, four texts and five properties, thirteen calls in a row. The
// benchmark times it and the tests drive it, so that both mean the same refresh.
#pragma once

#include "PluginLibrary.h"

#include <array>
#include <string>

namespace tools {

inline constexpr int kHostRefreshCalls = 13;
// What a state or text buffer holds when the call left it as it was.
inline constexpr wchar_t kUntouched[] = L"?";

struct RefreshAnswers {
    std::wstring title; // as getText left it: empty when it wrote nothing
    int volume = 0;     // getProp("volume", 5)
    // Every call's answer in the refresh's order, as the host got it: a state or a text
    // as the buffer was left (kUntouched when nothing was written), a number in decimal.
    std::array<std::array<wchar_t, 64>, kHostRefreshCalls> each{};
};

// The names of the thirteen calls, in the same order ("getState playpause", ...).
extern const std::array<const wchar_t*, kHostRefreshCalls> kHostRefreshNames;

// The thirteen calls, in the order a panel makes them.
RefreshAnswers hostRefresh(const PluginLibrary& plugin, PlayerInstance* instance);

} // namespace tools
