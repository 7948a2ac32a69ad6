// HostRefresh: what a host panel asks the plug-in at each refresh, about once a
// second: four states, four texts and five properties, thirteen calls in a row; a
// busier host asks three more (the caption, the first star, whether "playpause" is
// offered). The benchmark times it and the tests drive it, so that both mean the same
// refresh.
#pragma once

#include "PluginLibrary.h"

#include <array>
#include <string>

namespace tools {

inline constexpr int kHostRefreshCalls = 13;
inline constexpr int kBusyHostRefreshCalls = 16;
// What a state or text buffer holds when the call left it as it was.
inline constexpr wchar_t kUntouched[] = L"?";

struct RefreshAnswers {
    std::wstring title; // as getText left it: empty when it wrote nothing
    int volume = 0;     // getProp("volume", 5)
    int calls = 0;      // how many of `each` the refresh made
    // Every call's answer in the refresh's order, as the host got it: a state or a text
    // as the buffer was left (kUntouched when nothing was written), a number in decimal.
    std::array<std::array<wchar_t, 64>, kBusyHostRefreshCalls> each{};
};

// The names of the calls, in the same order ("getState playpause", ...).
extern const std::array<const wchar_t*, kBusyHostRefreshCalls> kHostRefreshNames;

// The first `calls` of them (13 or 16), in the order a panel makes them.
RefreshAnswers hostRefresh(const PluginLibrary& plugin, PlayerInstance* instance,
                           int calls = kHostRefreshCalls);

// Each answer of a refresh told apart: the player's own (as `answered`, a refresh the
// player answered in full), an absent player's (as `absent`), or anything else.
struct RefreshVerdict {
    int player = 0, absent = 0, other = 0;
    std::array<bool, kBusyHostRefreshCalls> answered{}; // call i told the player's answer
};
RefreshVerdict classify(const RefreshAnswers& got, const RefreshAnswers& answered,
                        const RefreshAnswers& absent);

} // namespace tools
