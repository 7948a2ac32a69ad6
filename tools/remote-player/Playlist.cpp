#include "Playlist.h"

#include "Console.h"
#include "Unique.h"

#include <windows.h>
#include <cstdlib>
#include <cwchar>

namespace remote_player {
namespace {

std::wstring_view trimmed(std::wstring_view line) {
    while (!line.empty() && (line.back() == L'\r' || line.back() == L' ' || line.back() == L'\t'))
        line.remove_suffix(1);
    while (!line.empty() && (line.front() == L' ' || line.front() == L'\t'))
        line.remove_prefix(1);
    return line;
}

template <typename Char>
bool startsWith(std::basic_string_view<Char> text, std::basic_string_view<Char> prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
bool startsWith(std::string_view text, const char* prefix) {
    return startsWith<char>(text, prefix);
}
bool startsWith(std::wstring_view text, const wchar_t* prefix) {
    return startsWith<wchar_t>(text, prefix);
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

Decoded decodePlaylist(std::string_view bytes) {
    Decoded decoded;
    const auto utf16 = [&](bool bigEndian) {
        for (std::size_t i = 2; i + 1 < bytes.size(); i += 2) {
            const auto high = static_cast<unsigned char>(bytes[bigEndian ? i : i + 1]);
            const auto low = static_cast<unsigned char>(bytes[bigEndian ? i + 1 : i]);
            decoded.text += static_cast<wchar_t>((high << 8) | low);
        }
        decoded.encoding = bigEndian ? L"UTF-16 BE" : L"UTF-16 LE";
        decoded.binary = decoded.text.find(L'\0') != std::wstring::npos;
    };
    if (startsWith(bytes, "\xFF\xFE")) {
        utf16(false);
        return decoded;
    }
    if (startsWith(bytes, "\xFE\xFF")) {
        utf16(true);
        return decoded;
    }
    if (startsWith(bytes, "\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    if (bytes.find('\0') != std::string_view::npos) {
        decoded.binary = true;
        return decoded;
    }
    const int size = static_cast<int>(bytes.size());
    // Not valid UTF-8: what players commonly do with .m3u, Windows-1252.
    UINT codePage = CP_UTF8;
    if (size > 0 && MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0) == 0) {
        codePage = 1252;
        decoded.encoding = L"Windows-1252";
    }
    const int units = MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
    decoded.text.resize(static_cast<std::size_t>(units));
    MultiByteToWideChar(codePage, 0, bytes.data(), size, decoded.text.data(), units);
    return decoded;
}

std::vector<Track> parseM3uText(std::wstring_view text) {
    std::vector<Track> tracks;
    Track pending;
    bool described = false;
    std::wstring album, genre;
    while (!text.empty()) {
        // Lines end in LF, CR LF, or a bare CR (files saved by old Mac tools).
        const std::size_t end = text.find_first_of(L"\r\n");
        const std::wstring_view line = trimmed(text.substr(0, end));
        text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
        if (line.empty())
            continue;
        if (startsWith(line, L"#EXTINF:")) {
            const std::wstring_view info = line.substr(8);
            const std::size_t comma = info.find(L',');
            pending.seconds = std::wcstol(std::wstring(info.substr(0, comma)).c_str(), nullptr, 10);
            splitArtistTitle(std::wstring(comma == std::wstring_view::npos ? L"" : info.substr(comma + 1)),
                             pending);
            described = true;
        } else if (startsWith(line, L"#EXTALB:")) {
            album = trimmed(line.substr(8));
        } else if (startsWith(line, L"#EXTGENRE:")) {
            genre = trimmed(line.substr(10));
        } else if (line.front() != L'#') {
            pending.file = line;
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

std::vector<Track> parseM3u(std::string_view bytes) {
    return parseM3uText(decodePlaylist(bytes).text);
}

std::vector<Track> loadM3u(const std::wstring& path, std::wstring& error, std::wstring* warning) {
    const tools::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        error = L"cannot open " + path + L": " + tools::systemMessage(GetLastError());
        return {};
    }
    std::string bytes;
    char chunk[4096];
    DWORD read = 0;
    while (ReadFile(file.get(), chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    const Decoded decoded = decodePlaylist(bytes);
    if (decoded.binary) {
        error = path + L" is not a playlist: it holds binary data";
        return {};
    }
    if (warning != nullptr && decoded.encoding == std::wstring(L"Windows-1252"))
        *warning = path + L" is not UTF-8; read as Windows-1252";
    std::vector<Track> tracks = parseM3uText(decoded.text);
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
