// How long the panel (player-panel.exe, beside the benchmark) stops taking its own
// messages while it polls a slow or silent player: a message is posted to it every 10 ms, and
// the time until it takes it is what a user waits for a click to take effect.
#pragma once

#include <string>

namespace bench {

std::wstring panelFreezeReport();

} // namespace bench
