// Message numbers of the player's remote-control window "VRX_MEDIA_REMOTE".
//
// All are WM_USER plus an offset. Commands are posted; states, texts, numbers,
// capability, rating and playlist queries are sent. A text reply arrives in the
// window's title before the sent message returns. 1328 and 1332 are not used.
#pragma once

#include <windows.h>

namespace player::link {

inline constexpr wchar_t kPlayerWindowClass[] = L"VRX_MEDIA_REMOTE";

enum RemoteMessage : UINT {
    // Commands, posted; wParam is the host's value.
    RM_PLAYPAUSE = WM_USER + 101,
    RM_PLAY = WM_USER + 102,
    RM_PAUSE = WM_USER + 103,
    RM_STOP = WM_USER + 104,
    RM_NEXT = WM_USER + 105,
    RM_PREV = WM_USER + 106,
    RM_MUTE = WM_USER + 107,
    RM_QUIT = WM_USER + 108,
    RM_SHUFFLE = WM_USER + 109,
    RM_REPEAT = WM_USER + 110,
    RM_EJECT = WM_USER + 111,
    RM_SETVOLUME = WM_USER + 112, // wParam: new volume
    RM_SEEK = WM_USER + 113,      // wParam: position in seconds
    RM_RATE0 = WM_USER + 114,     // RM_RATE0 + n rates n stars, 0 = unrated
    RM_RATE1 = WM_USER + 115,
    RM_RATE2 = WM_USER + 116,
    RM_RATE3 = WM_USER + 117,
    RM_RATE4 = WM_USER + 118,
    RM_RATE5 = WM_USER + 119,

    // On/off states, sent; nonzero = on.
    RM_STATE_PLAYPAUSE = WM_USER + 200,
    RM_STATE_SHUFFLE = WM_USER + 201,
    RM_STATE_REPEAT = WM_USER + 202,
    RM_STATE_MUTE = WM_USER + 203,
    RM_STATE_RATING1 = WM_USER + 204,
    RM_STATE_RATING2 = WM_USER + 205,
    RM_STATE_RATING3 = WM_USER + 206,
    RM_STATE_RATING4 = WM_USER + 207,
    RM_STATE_RATING5 = WM_USER + 208,

    // Texts, sent; nonzero = the text is in the window title.
    RM_TEXT_TITLE = WM_USER + 300,
    RM_TEXT_ALBUM = WM_USER + 301,
    RM_TEXT_ARTIST = WM_USER + 302,
    RM_TEXT_TRACKNAME = WM_USER + 303,
    RM_TEXT_GENRE = WM_USER + 305,
    RM_TEXT_YEAR = WM_USER + 306,
    RM_TEXT_TRACKNUM = WM_USER + 307,
    RM_TEXT_TIPCAPTION = WM_USER + 309,
    RM_TEXT_TRACKLEN = WM_USER + 310,

    // Numbers, sent.
    RM_GET_MAXVOLUME = WM_USER + 400,
    RM_GET_TRACKLENGTH = WM_USER + 401, // seconds; 0 = no length
    RM_GET_VOLUME = WM_USER + 402,
    RM_GET_POSITION = WM_USER + 403, // seconds

    // Capability and rating, sent.
    RM_IS_SUPPORTED = WM_USER + 500, // wParam: another message; nonzero = handled
    RM_GET_RATING = WM_USER + 501,   // 0 unrated, 1 to 5 stars

    // Playlist.
    RM_PLAYLIST_ITEMTEXT = WM_USER + 701, // sent, wParam: index; text in the title
    RM_PLAYLIST_COUNT = WM_USER + 702,    // sent
    RM_PLAYLIST_CURRENT = WM_USER + 703,  // sent
    RM_PLAYLIST_PLAY = WM_USER + 704,     // posted, wParam: index
};

static_assert(RM_PLAYPAUSE == 1125 && RM_RATE5 == 1143 && RM_STATE_RATING5 == 1232);
static_assert(RM_TEXT_TITLE == 1324 && RM_TEXT_TRACKLEN == 1334 && RM_GET_POSITION == 1427);
static_assert(RM_IS_SUPPORTED == 1524 && RM_PLAYLIST_ITEMTEXT == 1725 && RM_PLAYLIST_PLAY == 1728);

} // namespace player::link
