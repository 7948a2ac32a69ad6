// What the tools ask a prompt player that offers everything: the messages the panel
// sends in ten seconds (a second's worth, and of which kinds), and those of one
// `player-host status`.
#pragma once

#include <string>

namespace bench {

std::wstring hostMessagesReport();

} // namespace bench
