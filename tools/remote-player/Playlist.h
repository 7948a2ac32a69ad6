// The reference player's playlist: tracks read from an extended M3U file, or the
// built-in demo list.
//
// M3U: UTF-8 with or without a byte-order mark, or UTF-16 LE or BE with one; bytes
// that are not valid UTF-8 are read as Windows-1252, as players commonly do, and a
// file with NUL bytes is binary, no playlist. LF or CRLF lines. "#EXTINF:seconds,
// Artist - Title" describes the next entry; "#EXTALB:" and "#EXTGENRE:" set the
// album and genre of the entries that follow, until the next such line. Any other
// "#" line is a comment; every other non-empty line is an entry's file. An entry
// without "#EXTINF" is titled after its file name; a missing or negative length
// plays as kDefaultSeconds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace remote_player {

struct Track {
    std::wstring artist;
    std::wstring title;
    std::wstring album;
    std::wstring genre;
    std::wstring year;
    std::wstring file;
    int seconds = 0;

    // "Artist - Title", or the title alone.
    std::wstring displayName() const;
};

inline constexpr int kDefaultSeconds = 180;

struct Decoded {
    std::wstring text;
    const wchar_t* encoding = L"UTF-8";
    bool binary = false;
};
Decoded decodePlaylist(std::string_view bytes);

std::vector<Track> parseM3uText(std::wstring_view text);
std::vector<Track> parseM3u(std::string_view bytes); // decoded as above
// Empty when the file cannot be read or holds no entries; `error` then says why.
// `warning`, if given, tells of a file read as Windows-1252.
std::vector<Track> loadM3u(const std::wstring& path, std::wstring& error, std::wstring* warning = nullptr);
std::vector<Track> demoPlaylist();

} // namespace remote_player
