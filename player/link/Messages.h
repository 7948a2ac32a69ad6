// The player's message numbers (include/PlayerRemote.h, the protocol's one list)
// under the link's namespace.
#pragma once

#include "PlayerRemote.h"

namespace player::link {

inline constexpr wchar_t kPlayerWindowClass[] = PLAYER_REMOTE_WINDOW_CLASS;

using enum ::PlayerRemoteMessage;

static_assert(RM_PLAYPAUSE == 1125 && RM_RATE5 == 1143 && RM_STATE_RATING5 == 1232);
static_assert(RM_TEXT_TITLE == 1324 && RM_TEXT_TRACKLEN == 1334 && RM_GET_POSITION == 1427);
static_assert(RM_IS_SUPPORTED == 1524 && RM_PLAYLIST_ITEMTEXT == 1725 && RM_PLAYLIST_PLAY == 1728);

} // namespace player::link
