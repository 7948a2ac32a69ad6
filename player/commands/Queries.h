// State and text queries (getState, getText).
//
// getState writes "play"/"pause" or "on"/"off" into the host's buffer of at least
// six characters, or nothing when the player is absent, does not answer, or the
// name is unknown.
// getText writes a text field as the player puts it into its window title, the
// track time as "%d:%02d" (remaining or elapsed, per the instance's trackTime), or
// the fixed texts "--:--" and "Velmora player"; a player that does not answer
// (hung, gone, out of the call's time) gives what an absent one gives. Every
// write is cut to `size` characters with a terminator; a size of 0 or less writes
// nothing at all.
#pragma once

#include "player/PlayerInstance.h"

namespace player::commands {

void queryState(const wchar_t* name, wchar_t* out) noexcept;
void queryText(const PlayerInstance& instance, const wchar_t* name, wchar_t* out, int size) noexcept;

} // namespace player::commands
