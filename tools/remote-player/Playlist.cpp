#include "Playlist.h"

#include "Console.h"
#include "Unique.h"

#include <windows.h>
#include <cstdlib>

namespace remote_player {
namespace {

std::string_view trimmed(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t'))
        line.remove_prefix(1);
    return line;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

void splitArtistTitle(const std::wstring& text, Track& track) {
    const std::size_t dash = text.find(L" - ");
    if (dash == std::wstring::npos) {
        track.artist.clear();
        track.title = text;
    } else {
        track.artist = text.substr(0, dash);
        track.title = text.substr(dash + 3);
    }
}

std::wstring fileStem(const std::wstring& file) {
    const std::size_t slash = file.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? file : file.substr(slash + 1);
    const std::size_t dot = name.find_last_of(L'.');
    return dot == std::wstring::npos || dot == 0 ? name : name.substr(0, dot);
}

} // namespace

std::wstring Track::displayName() const {
    return artist.empty() ? title : artist + L" - " + title;
}

std::vector<Track> parseM3u(std::string_view utf8) {
    if (startsWith(utf8, "\xEF\xBB\xBF"))
        utf8.remove_prefix(3);
    std::vector<Track> tracks;
    Track pending;
    bool described = false;
    std::wstring album, genre;
    while (!utf8.empty()) {
        const std::size_t end = utf8.find('\n');
        const std::string_view line = trimmed(utf8.substr(0, end));
        utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
        if (line.empty())
            continue;
        if (startsWith(line, "#EXTINF:")) {
            const std::string_view info = line.substr(8);
            const std::size_t comma = info.find(',');
            const std::string length(info.substr(0, comma));
            pending.seconds = std::atoi(length.c_str());
            splitArtistTitle(tools::fromUtf8(comma == std::string_view::npos ? "" : info.substr(comma + 1)),
                             pending);
            described = true;
        } else if (startsWith(line, "#EXTALB:")) {
            album = tools::fromUtf8(trimmed(line.substr(8)));
        } else if (startsWith(line, "#EXTGENRE:")) {
            genre = tools::fromUtf8(trimmed(line.substr(10)));
        } else if (line.front() != '#') {
            pending.file = tools::fromUtf8(line);
            if (!described)
                splitArtistTitle(fileStem(pending.file), pending);
            if (pending.seconds <= 0)
                pending.seconds = kDefaultSeconds;
            pending.album = album;
            pending.genre = genre;
            tracks.push_back(pending);
            pending = Track{};
            described = false;
        }
    }
    return tracks;
}

std::vector<Track> loadM3u(const std::wstring& path, std::wstring& error) {
    const tools::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        error = L"cannot open " + path;
        return {};
    }
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    std::vector<Track> tracks = parseM3u(bytes);
    if (tracks.empty())
        error = L"no entries in " + path;
    return tracks;
}

std::vector<Track> demoPlaylist() {
    // Invented artists and titles; non-ASCII text on purpose, a surrogate pair among it.
    return {
        {L"Åsa Lindqvist", L"Über den Wolken", L"Höhenluft", L"Pop", L"2019", L"01.flac", 245},
        {L"Zoë Marchetti", L"Café de Flore", L"Rive gauche", L"Chanson", L"2004", L"02.flac", 198},
        {L"Kōji Tanaka", L"夜明けの歌", L"東の空", L"J-Pop", L"2011", L"03.flac", 227},
        {L"Ελένη Σταθοπούλου", L"Θάλασσα", L"Νησιά", L"Folk", L"1998", L"04.flac", 263},
        {L"Дмитрий Орлов", L"Белые ночи", L"Нева", L"Rock", L"2007", L"05.flac", 301},
        {L"The Quiet Hours", L"Night Drive 🌙", L"Neon Roads", L"Synthwave", L"2021", L"06.flac", 214},
        {L"Ngozi Adébáyọ̀", L"Ìfẹ́", L"Ọ̀nà", L"Afrobeat", L"2016", L"07.flac", 276},
        {L"Mariana Peña", L"Señales", L"Años luz", L"Latin", L"2013", L"08.flac", 189},
    };
}

} // namespace remote_player
