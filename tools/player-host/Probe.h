// probe: a conformance report on whatever player is running, for player authors.
//
// Talks to the player's window directly, as the plug-in would, with every send
// bounded to two seconds. It posts no command but RM_SEEK, to a paused player and back
// again, so the player's state is left as it was (apart from its window title, which
// text replies use anyway). Returns the
// number of problems found, kProbeNotRunning when no player is running, or
// kProbeNotResponding when the player stopped answering (it is not asked again).
#pragma once

namespace player_host {

inline constexpr int kProbeNotRunning = -1;
inline constexpr int kProbeNotResponding = -2;

// As text, or as one JSON document.
int probe(bool json = false);

} // namespace player_host
