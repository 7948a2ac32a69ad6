// probe: a conformance report on whatever player is running, for player authors.
//
// Talks to the player's window directly, as the plug-in would, with every send
// bounded to one second. It posts no command, so the player's state is left as it
// was (apart from its window title, which text replies use anyway). Returns the
// number of problems found, or -1 when no player is running.
#pragma once

namespace player_host {

int probe();

} // namespace player_host
