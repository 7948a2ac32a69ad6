// Names of the remote-control window's messages, for logs and reports.
#pragma once

#include "player/commands/nameTable.h"
#include "player/link/messages.h"

namespace tools {

inline constexpr player::MessageRow MessageNames[] = {
    {player::link::RM_PLAYPAUSE, L"RM_PLAYPAUSE"},
    {player::link::RM_PLAY, L"RM_PLAY"},
    {player::link::RM_PAUSE, L"RM_PAUSE"},
    {player::link::RM_STOP, L"RM_STOP"},
    {player::link::RM_NEXT, L"RM_NEXT"},
    {player::link::RM_PREV, L"RM_PREV"},
    {player::link::RM_MUTE, L"RM_MUTE"},
    {player::link::RM_QUIT, L"RM_QUIT"},
    {player::link::RM_SHUFFLE, L"RM_SHUFFLE"},
    {player::link::RM_REPEAT, L"RM_REPEAT"},
    {player::link::RM_EJECT, L"RM_EJECT"},
    {player::link::RM_SETVOLUME, L"RM_SETVOLUME"},
    {player::link::RM_SEEK, L"RM_SEEK"},
    {player::link::RM_RATE0, L"RM_RATE0"},
    {player::link::RM_RATE1, L"RM_RATE1"},
    {player::link::RM_RATE2, L"RM_RATE2"},
    {player::link::RM_RATE3, L"RM_RATE3"},
    {player::link::RM_RATE4, L"RM_RATE4"},
    {player::link::RM_RATE5, L"RM_RATE5"},
    {player::link::RM_STATE_PLAYPAUSE, L"RM_STATE_PLAYPAUSE"},
    {player::link::RM_STATE_SHUFFLE, L"RM_STATE_SHUFFLE"},
    {player::link::RM_STATE_REPEAT, L"RM_STATE_REPEAT"},
    {player::link::RM_STATE_MUTE, L"RM_STATE_MUTE"},
    {player::link::RM_STATE_RATING1, L"RM_STATE_RATING1"},
    {player::link::RM_STATE_RATING2, L"RM_STATE_RATING2"},
    {player::link::RM_STATE_RATING3, L"RM_STATE_RATING3"},
    {player::link::RM_STATE_RATING4, L"RM_STATE_RATING4"},
    {player::link::RM_STATE_RATING5, L"RM_STATE_RATING5"},
    {player::link::RM_TEXT_TITLE, L"RM_TEXT_TITLE"},
    {player::link::RM_TEXT_ALBUM, L"RM_TEXT_ALBUM"},
    {player::link::RM_TEXT_ARTIST, L"RM_TEXT_ARTIST"},
    {player::link::RM_TEXT_TRACKNAME, L"RM_TEXT_TRACKNAME"},
    {player::link::RM_TEXT_GENRE, L"RM_TEXT_GENRE"},
    {player::link::RM_TEXT_YEAR, L"RM_TEXT_YEAR"},
    {player::link::RM_TEXT_TRACKNUM, L"RM_TEXT_TRACKNUM"},
    {player::link::RM_TEXT_TIPCAPTION, L"RM_TEXT_TIPCAPTION"},
    {player::link::RM_TEXT_TRACKLEN, L"RM_TEXT_TRACKLEN"},
    {player::link::RM_GET_MAXVOLUME, L"RM_GET_MAXVOLUME"},
    {player::link::RM_GET_TRACKLENGTH, L"RM_GET_TRACKLENGTH"},
    {player::link::RM_GET_VOLUME, L"RM_GET_VOLUME"},
    {player::link::RM_GET_POSITION, L"RM_GET_POSITION"},
    {player::link::RM_IS_SUPPORTED, L"RM_IS_SUPPORTED"},
    {player::link::RM_GET_RATING, L"RM_GET_RATING"},
    {player::link::RM_PLAYLIST_ITEMTEXT, L"RM_PLAYLIST_ITEMTEXT"},
    {player::link::RM_PLAYLIST_COUNT, L"RM_PLAYLIST_COUNT"},
    {player::link::RM_PLAYLIST_CURRENT, L"RM_PLAYLIST_CURRENT"},
    {player::link::RM_PLAYLIST_PLAY, L"RM_PLAYLIST_PLAY"},
};

inline const wchar_t* messageName(UINT message) {
    for (const player::MessageRow& entry : MessageNames)
        if (entry.message == message)
            return entry.name;
    return L"?";
}

} // namespace tools
