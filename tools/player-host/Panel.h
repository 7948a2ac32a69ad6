// The now-playing panel, built only from the plug-in's answers.
#pragma once

#include "Host.h"

namespace player_host {

// As text, or as one JSON document.
void printStatus(const Host& host, bool json = false);
// One line a second for `seconds` seconds; the title scrolls when its setting is on.
void watch(const Host& host, int seconds);
// A line whenever it changes, until the player quits (true) or stops answering (false).
bool follow(const Host& host);

} // namespace player_host
