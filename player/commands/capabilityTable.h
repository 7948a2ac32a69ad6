// CapabilityTable: the controls whose support the host can ask about (getProp
// kind 2). The message becomes the wParam of RM_IS_SUPPORTED; "*playlist" asks
// about the playlist as a whole through RM_PLAYLIST_COUNT.
#pragma once

#include "player/commands/nameTable.h"
#include "player/link/messages.h"

namespace player {

inline constexpr MessageRow CapabilityTable[] = {
    {link::RM_PLAYPAUSE, L"playpause"},
    {link::RM_PLAY, L"play"},
    {link::RM_PAUSE, L"pause"},
    {link::RM_STOP, L"stop"},
    {link::RM_NEXT, L"next"},
    {link::RM_PREV, L"prev"},
    {link::RM_MUTE, L"mute"},
    {link::RM_QUIT, L"quit"},
    {link::RM_SHUFFLE, L"shuffle"},
    {link::RM_REPEAT, L"repeat"},
    {link::RM_EJECT, L"eject"},
    {link::RM_SETVOLUME, L"volume"},
    {link::RM_SEEK, L"tracktime"},
    {link::RM_PLAYLIST_COUNT, L"*playlist"},
    {0, nullptr},
};

} // namespace player
