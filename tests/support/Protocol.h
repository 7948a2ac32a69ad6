// The player's remote-control messages as the protocol describes them, written here
// apart from the library's own list so that the tests check the numbers the library
// sends rather than repeat them. ProtocolCheck.cpp compares the two at compile time.
#pragma once

#include <windows.h>

namespace protocol {

inline constexpr wchar_t kWindowClass[] = L"VRX_MEDIA_REMOTE";

// Commands, posted.
inline constexpr UINT RM_PLAYPAUSE = 1125;
inline constexpr UINT RM_PLAY = 1126;
inline constexpr UINT RM_PAUSE = 1127;
inline constexpr UINT RM_STOP = 1128;
inline constexpr UINT RM_NEXT = 1129;
inline constexpr UINT RM_PREV = 1130;
inline constexpr UINT RM_MUTE = 1131;
inline constexpr UINT RM_QUIT = 1132;
inline constexpr UINT RM_SHUFFLE = 1133;
inline constexpr UINT RM_REPEAT = 1134;
inline constexpr UINT RM_EJECT = 1135;
inline constexpr UINT RM_SETVOLUME = 1136;
inline constexpr UINT RM_SEEK = 1137;
inline constexpr UINT RM_RATE0 = 1138; // RM_RATE0 + n: n stars
inline constexpr UINT RM_RATE1 = 1139;
inline constexpr UINT RM_RATE2 = 1140;
inline constexpr UINT RM_RATE3 = 1141;
inline constexpr UINT RM_RATE4 = 1142;
inline constexpr UINT RM_RATE5 = 1143;

// States, sent.
inline constexpr UINT RM_STATE_PLAYPAUSE = 1224;
inline constexpr UINT RM_STATE_SHUFFLE = 1225;
inline constexpr UINT RM_STATE_REPEAT = 1226;
inline constexpr UINT RM_STATE_MUTE = 1227;
inline constexpr UINT RM_STATE_RATING1 = 1228; // 1227 + n: the n-star indicator
inline constexpr UINT RM_STATE_RATING2 = 1229;
inline constexpr UINT RM_STATE_RATING3 = 1230;
inline constexpr UINT RM_STATE_RATING4 = 1231;
inline constexpr UINT RM_STATE_RATING5 = 1232;

// Texts, sent; the reply is in the window title.
inline constexpr UINT RM_TEXT_TITLE = 1324;
inline constexpr UINT RM_TEXT_ALBUM = 1325;
inline constexpr UINT RM_TEXT_ARTIST = 1326;
inline constexpr UINT RM_TEXT_TRACKNAME = 1327;
inline constexpr UINT RM_TEXT_RESERVED1 = 1328; // never sent
inline constexpr UINT RM_TEXT_GENRE = 1329;
inline constexpr UINT RM_TEXT_YEAR = 1330;
inline constexpr UINT RM_TEXT_TRACKNUM = 1331;
inline constexpr UINT RM_TEXT_RESERVED2 = 1332; // never sent
inline constexpr UINT RM_TEXT_TIPCAPTION = 1333;
inline constexpr UINT RM_TEXT_TRACKLEN = 1334;

// Numbers, sent.
inline constexpr UINT RM_GET_MAXVOLUME = 1424;
inline constexpr UINT RM_GET_TRACKLENGTH = 1425;
inline constexpr UINT RM_GET_VOLUME = 1426;
inline constexpr UINT RM_GET_POSITION = 1427;

// Capability and rating, sent.
inline constexpr UINT RM_IS_SUPPORTED = 1524;
inline constexpr UINT RM_GET_RATING = 1525;

// Playlist: the first three sent, the last posted.
inline constexpr UINT RM_PLAYLIST_ITEMTEXT = 1725;
inline constexpr UINT RM_PLAYLIST_COUNT = 1726;
inline constexpr UINT RM_PLAYLIST_CURRENT = 1727;
inline constexpr UINT RM_PLAYLIST_PLAY = 1728;

} // namespace protocol
