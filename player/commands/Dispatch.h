// dispatchCommand: carries out one named command of the host (sendCmd).
//
// First the CommandTable (post, or start the player), then the fixed names that act
// on the instance or are worked out from the player's answers: the display toggles
// "title", "album", "artist", "trackname", "tracktime" with value 0; seeking by
// "tracktime" with a nonzero value (position + 1); "volumeup" and "volumedown",
// which step the volume by a tenth of the player's maximum.
#pragma once

#include "player/PlayerInstance.h"

namespace player::commands {

void dispatchCommand(PlayerInstance& instance, const wchar_t* name, int value) noexcept;

// The volume that one step up or down gives, bounded to [0, max] as the direction
// allows and kept within the 32-bit range whatever the player answered.
int steppedVolume(int max, int current, bool up) noexcept;

} // namespace player::commands
