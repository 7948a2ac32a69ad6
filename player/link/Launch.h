// launchPlayer: starts the player executable when its window is absent.
//
// Each instance starts the player at most once in any 6 seconds, whether or not
// the start succeeded; an empty path never starts anything and records nothing.
#pragma once

#include "player/PlayerInstance.h"

namespace player::link {

inline constexpr long long kLaunchGuardSeconds = 6;

void launchPlayer(PlayerInstance& instance) noexcept;

} // namespace player::link
