// Hosts side by side: texts asked of one player at the same time by two threads of
// this process, and by this process and a second one, each reply compared with what
// the player answers when asked alone. The player's one window title carries every
// reply, so without turns a host reads another's.
#pragma once

#include "PluginLibrary.h"

#include <string>

namespace bench {

struct SideBySide {
    std::wstring report;
    int crossed = 0; // replies that were another request's text, in both runs together
};

// With the reference player standing on one entry; `calls` texts per host.
SideBySide sideBySide(const tools::PluginLibrary& plugin, int calls);
// The second process's part: waits for the start, asks, and exits with the number of
// replies that crossed (low 16 bits) and of those that did not arrive (above).
int sideBySideChild(const tools::PluginLibrary& plugin, int calls);

} // namespace bench
