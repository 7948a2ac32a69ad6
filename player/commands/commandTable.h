// CommandTable: the host's command names that become a posted player message.
//
// wParam of the post is the host's value. "playpause" and "play" start the player
// instead when its window is absent; the others are then dropped. RM_SEEK has no
// row: only the "tracktime" rule posts it.
#pragma once

#include "player/link/messages.h"

namespace player {

struct CommandRow {
    UINT message;
    const wchar_t* name;
    bool launchIfAbsent;
};

inline constexpr CommandRow CommandTable[] = {
    {link::RM_PLAYPAUSE, L"playpause", true},
    {link::RM_PLAY, L"play", true},
    {link::RM_PAUSE, L"pause", false},
    {link::RM_STOP, L"stop", false},
    {link::RM_NEXT, L"next", false},
    {link::RM_PREV, L"prev", false},
    {link::RM_MUTE, L"mute", false},
    {link::RM_QUIT, L"quit", false},
    {link::RM_SHUFFLE, L"shuffle", false},
    {link::RM_REPEAT, L"repeat", false},
    {link::RM_EJECT, L"eject", false},
    {link::RM_SETVOLUME, L"volume", false},
    {link::RM_RATE0, L"rating0", false},
    {link::RM_RATE1, L"rating1", false},
    {link::RM_RATE2, L"rating2", false},
    {link::RM_RATE3, L"rating3", false},
    {link::RM_RATE4, L"rating4", false},
    {link::RM_RATE5, L"rating5", false},
    {0, nullptr, false},
};

} // namespace player
