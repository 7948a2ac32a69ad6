// Property queries (getProp).
//
// With the player absent every answer is 0 and nothing changes; a player that does
// not answer (hung, gone, or out of the call's time) answers 0 in the same way.
// "needsave" answers and clears the instance's pending-change flag, whatever the
// kind. Kinds:
//   1  whether a text scrolls ("title", "album", "artist", "trackname")
//   2  1 when the player does not support the control (CapabilityTable), else 0
//   3  upper bound, 4 lower bound, 5 current value of "volume" and "tracktime";
//      track-time values are seconds plus one, saturating at the largest int
//   6  1 for any name
// Any other kind, or a name the kind does not know, answers 0 and sends nothing.
#pragma once

#include "player/PlayerInstance.h"

namespace player::commands {

int queryProperty(PlayerInstance& instance, const wchar_t* name, int kind) noexcept;

} // namespace player::commands
