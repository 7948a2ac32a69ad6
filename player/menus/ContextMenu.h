// The plug-in's items in the host's context menu (queryCtxMenu, invokeCtxMenu).
//
// Built from the player's live answers at every request. Player absent: "Run
// default player" at `position`. Player present: "Close player", a separator,
// "Repeat" and "Shuffle" with the player's marks, and, when the player supports
// ratings, "Rate" with six radio items of which the current rating is marked.
// Items carry firstId + k, k fixed per action (1 to 10). The result is fixed per
// case, 1, 4 or 11, the items that case has (the separator and "Rate" included),
// whether or not each insertion took. Nothing is kept between building and
// invoking: invoking item k carries out the action of k.
#pragma once

#include "player/PlayerInstance.h"

namespace player::menus {

int buildContextMenu(HMENU menu, UINT position, UINT firstId) noexcept;
void invokeContextItem(PlayerInstance& instance, int item) noexcept;

} // namespace player::menus
