// Wire: what the bridge's two halves tell each other, one line of UTF-8 at a time.
//
// mpris-bridge (Linux, on the session bus) writes to the standard input of
// mpris-window.exe (Windows, under Wine, owning the VRX_MEDIA_REMOTE window) a snapshot
// of the MPRIS player it follows, whole, whenever it changed: "snapshot", one line
// "key value" for each value the player gave, "end". A value the player did not give
// has no line. mpris-window.exe writes back one line per command a host posted
// ("next", "seek 61", ...). Texts are escaped so that each stays on its line.
//
// Portable C++17, for both compilers: the Linux one and mingw-w64.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace bridge_wire {

// Backslash, newline, carriage return and the other control characters become \\, \n,
// \r and \xNN, so that a text is one line whatever it holds.
inline std::string escape(std::string_view text) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else if (u < 0x20 || u == 0x7F) {
            out += "\\x";
            out += kHex[u >> 4];
            out += kHex[u & 15];
        } else
            out += c;
    }
    return out;
}

inline std::string unescape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\' || i + 1 == text.size()) {
            out += text[i];
            continue;
        }
        const char next = text[++i];
        if (next == 'n') {
            out += '\n';
        } else if (next == 'r') {
            out += '\r';
        } else if (next == 'x' && i + 2 < text.size()) {
            out += static_cast<char>(std::strtol(std::string(text.substr(i + 1, 2)).c_str(), nullptr, 16));
            i += 2;
        } else {
            out += next;
        }
    }
    return out;
}

// What is known of the MPRIS player followed, as its properties said it. Times are in
// microseconds, as MPRIS gives them; the position is as of the moment the snapshot is
// written.
struct Snapshot {
    std::string player; // its bus name; empty: no MPRIS player runs (no window)
    std::string status; // PlaybackStatus: "Playing", "Paused" or "Stopped"
    std::optional<std::int64_t> position;
    double rate = 1.0;
    std::optional<std::int64_t> length; // mpris:length, when above 0
    std::optional<double> volume;       // 0 to 1
    std::optional<bool> shuffle;
    std::string loop; // LoopStatus: "None", "Track" or "Playlist"
    bool canPlay = false, canPause = false, canNext = false, canPrevious = false, canSeek = false,
         canControl = false, canQuit = false;
    std::optional<std::string> title, artist, album, genre, year;
    std::optional<std::int64_t> trackNumber;
    std::optional<double> rating;                   // xesam:userRating, 0 to 1
    std::optional<std::vector<std::string>> tracks; // each entry's text, with a track list
    std::optional<int> current;                     // the current entry of the track list
    bool stale = false;                             // the player has not answered for a while

    std::string encode() const {
        std::string out = "snapshot\n";
        const auto line = [&out](const char* key, const std::string& value) {
            out += std::string(key) + " " + escape(value) + "\n";
        };
        line("player", player);
        if (!status.empty())
            line("status", status);
        if (position)
            line("position", std::to_string(*position));
        line("rate", std::to_string(rate));
        if (length)
            line("length", std::to_string(*length));
        if (volume)
            line("volume", std::to_string(*volume));
        if (shuffle)
            line("shuffle", *shuffle ? "1" : "0");
        if (!loop.empty())
            line("loop", loop);
        std::string can;
        for (const auto& [flag, name] : {std::pair{canPlay, "play"},
                                         {canPause, "pause"},
                                         {canNext, "next"},
                                         {canPrevious, "previous"},
                                         {canSeek, "seek"},
                                         {canControl, "control"},
                                         {canQuit, "quit"}})
            if (flag)
                can += std::string(can.empty() ? "" : " ") + name;
        line("can", can);
        for (const auto& [key, value] : {std::pair{"title", &title},
                                         {"artist", &artist},
                                         {"album", &album},
                                         {"genre", &genre},
                                         {"year", &year}})
            if (*value)
                line(key, **value);
        if (trackNumber)
            line("tracknumber", std::to_string(*trackNumber));
        if (rating)
            line("rating", std::to_string(*rating));
        if (tracks) {
            line("tracks", std::to_string(tracks->size()));
            for (const std::string& text : *tracks)
                line("track", text);
        }
        if (current)
            line("current", std::to_string(*current));
        if (stale)
            line("stale", "1");
        return out + "end\n";
    }

    // One line of a block into this snapshot; false for "end".
    bool decode(std::string_view text) {
        if (text == "end")
            return false;
        const std::size_t space = text.find(' ');
        const std::string_view key = text.substr(0, space);
        const std::string value = space == std::string_view::npos ? "" : unescape(text.substr(space + 1));
        const auto number = [&value] {
            return static_cast<std::int64_t>(std::strtoll(value.c_str(), nullptr, 10));
        };
        const auto real = [&value] { return std::strtod(value.c_str(), nullptr); };
        if (key == "player") {
            player = value;
        } else if (key == "status") {
            status = value;
        } else if (key == "position") {
            position = number();
        } else if (key == "rate") {
            rate = real();
        } else if (key == "length") {
            length = number();
        } else if (key == "volume") {
            volume = real();
        } else if (key == "shuffle") {
            shuffle = value == "1";
        } else if (key == "loop") {
            loop = value;
        } else if (key == "can") {
            std::string words = " ";
            words += value;
            words += ' ';
            const auto has = [&words](const char* name) {
                std::string word = " ";
                word += name;
                word += ' ';
                return words.find(word) != std::string::npos;
            };
            canPlay = has("play"), canPause = has("pause"), canNext = has("next"),
            canPrevious = has("previous");
            canSeek = has("seek"), canControl = has("control"), canQuit = has("quit");
        } else if (key == "title") {
            title = value;
        } else if (key == "artist") {
            artist = value;
        } else if (key == "album") {
            album = value;
        } else if (key == "genre") {
            genre = value;
        } else if (key == "year") {
            year = value;
        } else if (key == "tracknumber") {
            trackNumber = number();
        } else if (key == "rating") {
            rating = real();
        } else if (key == "tracks") {
            tracks.emplace();
        } else if (key == "track") {
            if (!tracks)
                tracks.emplace();
            tracks->push_back(value);
        } else if (key == "current") {
            current = static_cast<int>(number());
        } else if (key == "stale") {
            stale = value == "1";
        }
        return true;
    }
};

// The commands mpris-window.exe writes back, one a line: a word, and a number for
// "volume" (0 to 100), "seek" (seconds) and "goto" (an entry of the track list, from 0).
inline constexpr const char* kCommands[] = {"play", "pause",   "playpause", "stop",   "next", "previous",
                                            "quit", "shuffle", "repeat",    "volume", "seek", "goto"};

} // namespace bridge_wire
