// TextTable: the track's text fields. A nonzero answer means the player has put
// the text into its window title. "tracktime" is not a row: it is formatted here
// from the length and position.
#pragma once

#include "player/commands/nameTable.h"
#include "player/link/messages.h"

namespace player {

inline constexpr MessageRow TextTable[] = {
    {link::RM_TEXT_TITLE, L"title"},       {link::RM_TEXT_ALBUM, L"album"},
    {link::RM_TEXT_ARTIST, L"artist"},     {link::RM_TEXT_TRACKNAME, L"trackname"},
    {link::RM_TEXT_GENRE, L"genre"},       {link::RM_TEXT_YEAR, L"year"},
    {link::RM_TEXT_TRACKNUM, L"tracknum"}, {link::RM_TEXT_TIPCAPTION, L"tipcaption"},
    {link::RM_TEXT_TRACKLEN, L"tracklen"}, {0, nullptr},
};

} // namespace player
