// The status text: the now-playing summary that status, watch and watch --follow print,
// built only from the plug-in's answers.
#pragma once

#include "Host.h"

namespace player_host {

// As text, or as one JSON document; returns how many values asked of a running player
// did not arrive (each shown as "not answered", or null), or kStatusNotRunning.
inline constexpr int kStatusNotRunning = -1;
int printStatus(const Host& host, bool json = false);
// One line a second for `seconds` seconds, with or without a player, answering or not;
// the title scrolls when its setting is on.
void watch(const Host& host, int seconds);
// A line whenever it changes, until the player quits; a player that has not answered
// for two seconds is a line saying since when ("not responding since ..."), and one
// when it answers again ("answering again at ...").
void follow(const Host& host);

} // namespace player_host
