// The status text: the now-playing summary that status, watch and watch --follow print,
// built only from the plug-in's answers.
#pragma once

#include "Host.h"

namespace player_host {

// As text, or as one JSON document.
void printStatus(const Host& host, bool json = false);
// One line a second for `seconds` seconds; the title scrolls when its setting is on.
void watch(const Host& host, int seconds);
// A line whenever it changes, until the player quits or stops answering for
// kFollowPatienceSeconds in a row.
enum class FollowEnd { PlayerQuit, NotResponding };
inline constexpr int kFollowPatienceSeconds = 2;
FollowEnd follow(const Host& host);

} // namespace player_host
