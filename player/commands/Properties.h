// Property queries (getProp).
//
// With the player absent or silent every answer is 0 and nothing changes, "needsave"
// included; a query the player does not answer in this call (hung, gone, or out of
// the call's time) answers 0 in the same way. Otherwise "needsave" answers and
// clears the instance's pending-change flag, whatever the kind. Kinds:
//   1  whether a text scrolls ("title", "album", "artist", "trackname")
//   2  1 when the player does not support the control (CapabilityTable), else 0
//   3  upper bound, 4 lower bound, 5 current value of "volume" and "tracktime";
//      track-time values are seconds plus one, saturating at the largest int
//   6  1 for any name: the window exists and is not known to be silent
// Any other kind, or a name the kind does not know, answers 0 and sends nothing.
#pragma once

#include "player/PlayerInstance.h"

namespace player::commands {

int queryProperty(PlayerInstance& instance, const wchar_t* name, int kind) noexcept;

} // namespace player::commands
