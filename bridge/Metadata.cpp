#include "Metadata.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <optional>
#include <string_view>

namespace mpris_bridge {
namespace {

std::string cut(std::string text) {
    if (text.size() <= kLongestText)
        return text;
    std::size_t end = kLongestText;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80)
        --end; // never half a character
    text.resize(end);
    return text;
}

// The variant's contents as a number, whatever integer or floating type it has.
std::optional<double> number(sd_bus_message* m, char type) {
    union {
        int32_t i;
        uint32_t u;
        int64_t x;
        uint64_t t;
        int16_t n;
        uint16_t q;
        uint8_t y;
        double d;
    } v{};
    if (std::string_view("iuxtnqyd").find(type) == std::string_view::npos)
        return std::nullopt;
    if (sd_bus_message_read_basic(m, type, &v) < 0)
        return std::nullopt;
    switch (type) {
    case 'i':
        return v.i;
    case 'u':
        return v.u;
    case 'x':
        return static_cast<double>(v.x);
    case 't':
        return static_cast<double>(v.t);
    case 'n':
        return v.n;
    case 'q':
        return v.q;
    case 'y':
        return v.y;
    default:
        return std::isfinite(v.d) ? std::optional<double>(v.d) : std::nullopt;
    }
}

// A string, or strings joined with ", " (an artist list).
std::optional<std::string> text(sd_bus_message* m, char type, const char* contents) {
    if (type == 's' || type == 'o') {
        const char* s = nullptr;
        if (sd_bus_message_read_basic(m, type, &s) < 0)
            return std::nullopt;
        return cut(s);
    }
    if (type == 'a' && contents != nullptr && std::string(contents) == "s") {
        if (sd_bus_message_enter_container(m, 'a', "s") < 0)
            return std::nullopt;
        std::string joined;
        const char* s = nullptr;
        while (sd_bus_message_read_basic(m, 's', &s) > 0)
            joined += (joined.empty() ? "" : ", ") + std::string(s);
        sd_bus_message_exit_container(m);
        return cut(joined);
    }
    return std::nullopt;
}

// Runs `read` on the variant's contents, then leaves the variant whatever it read.
template <typename Read>
int inVariant(sd_bus_message* m, Read&& read) {
    char type = 0;
    const char* contents = nullptr;
    int r = sd_bus_message_peek_type(m, &type, &contents);
    if (r < 0)
        return r;
    if (type != 'v')
        return sd_bus_message_skip(m, nullptr);
    r = sd_bus_message_enter_container(m, 'v', contents);
    if (r < 0)
        return r;
    char inner = 0;
    const char* innerContents = nullptr;
    if (sd_bus_message_peek_type(m, &inner, &innerContents) > 0) {
        if (!read(inner, innerContents))
            sd_bus_message_skip(m, nullptr); // of no usable type: as if not given
    }
    return sd_bus_message_exit_container(m);
}

std::optional<std::string> yearOf(const std::string& date) {
    if (date.size() >= 4 &&
        std::all_of(date.begin(), date.begin() + 4, [](unsigned char c) { return std::isdigit(c); }))
        return date.substr(0, 4);
    return std::nullopt;
}

} // namespace

int readMetadata(sd_bus_message* m, bridge_wire::Snapshot& into, std::string* trackId) {
    into.title.reset(), into.artist.reset(), into.album.reset(), into.genre.reset(), into.year.reset();
    into.trackNumber.reset(), into.rating.reset(), into.length.reset();
    if (trackId != nullptr)
        trackId->clear();
    std::optional<std::string> url;
    int r = sd_bus_message_enter_container(m, 'a', "{sv}");
    if (r < 0)
        return r;
    while ((r = sd_bus_message_enter_container(m, 'e', "sv")) > 0) {
        const char* key = nullptr;
        if ((r = sd_bus_message_read_basic(m, 's', &key)) < 0)
            return r;
        std::string name = key;
        r = inVariant(m, [&](char type, const char* contents) {
            if (name == "xesam:title" || name == "xesam:album" || name == "xesam:artist" ||
                name == "xesam:genre" || name == "xesam:contentCreated" || name == "mpris:trackid" ||
                name == "xesam:url") {
                const std::optional<std::string> value = text(m, type, contents);
                if (!value)
                    return false;
                if (name == "xesam:title")
                    into.title = value;
                else if (name == "xesam:album")
                    into.album = value;
                else if (name == "xesam:artist")
                    into.artist = value;
                else if (name == "xesam:genre")
                    into.genre = value;
                else if (name == "xesam:contentCreated")
                    into.year = yearOf(*value);
                else if (name == "mpris:trackid" && trackId != nullptr)
                    *trackId = *value;
                else if (name == "xesam:url")
                    url = value;
                return true;
            }
            if (name == "xesam:tracknumber") // VLC's spelling
                name = "xesam:trackNumber";
            if (name == "mpris:length" || name == "xesam:trackNumber" || name == "xesam:userRating") {
                const std::optional<double> value = number(m, type);
                if (!value)
                    return false;
                if (name == "mpris:length" && *value >= 1)
                    into.length = static_cast<std::int64_t>(std::min(*value, 9.2e18));
                else if (name == "xesam:trackNumber" && *value >= 0 && *value < 1e9)
                    into.trackNumber = static_cast<std::int64_t>(*value);
                else if (name == "xesam:userRating")
                    into.rating = std::clamp(*value, 0.0, 1.0);
                return true;
            }
            return false;
        });
        if (r < 0)
            return r;
        if ((r = sd_bus_message_exit_container(m)) < 0)
            return r;
    }
    if (r < 0)
        return r;
    if (into.title && into.title->empty())
        into.title.reset();
    if (!into.title && url) // what a player without tags names the track by
        into.title = url->substr(url->find_last_of('/') + 1);
    return sd_bus_message_exit_container(m);
}

int readEntryText(sd_bus_message* m, std::string& text, std::string& trackId) {
    bridge_wire::Snapshot entry;
    const int r = readMetadata(m, entry, &trackId);
    text = !entry.title                             ? ""
           : entry.artist && !entry.artist->empty() ? *entry.artist + " - " + *entry.title
                                                    : *entry.title;
    return r;
}

int readProperty(sd_bus_message* m, const std::string& name, bridge_wire::Snapshot& s, std::string* trackId,
                 bool* hasTrackList) {
    if (name == "Metadata") {
        char type = 0;
        const char* contents = nullptr;
        int r = sd_bus_message_peek_type(m, &type, &contents);
        if (r < 0 || type != 'v' || contents == nullptr || std::string(contents) != "a{sv}")
            return sd_bus_message_skip(m, nullptr);
        if ((r = sd_bus_message_enter_container(m, 'v', contents)) < 0)
            return r;
        if ((r = readMetadata(m, s, trackId)) < 0)
            return r;
        return sd_bus_message_exit_container(m);
    }
    return inVariant(m, [&](char type, const char*) {
        const auto flag = [&](bool& into) {
            int b = 0;
            if (type != 'b' || sd_bus_message_read_basic(m, 'b', &b) < 0)
                return false;
            into = b != 0;
            return true;
        };
        if (name == "PlaybackStatus" || name == "LoopStatus") {
            const char* value = nullptr;
            if (type != 's' || sd_bus_message_read_basic(m, 's', &value) < 0)
                return false;
            (name == "PlaybackStatus" ? s.status : s.loop) = value;
            return true;
        }
        if (name == "Shuffle") {
            bool on = false;
            if (!flag(on))
                return false;
            s.shuffle = on;
            return true;
        }
        if (name == "Volume" || name == "Rate" || name == "Position") {
            const std::optional<double> value = number(m, type);
            if (!value)
                return false;
            if (name == "Volume")
                s.volume = std::clamp(*value, 0.0, 1.0);
            else if (name == "Rate")
                s.rate = std::clamp(*value, 0.0, 100.0);
            else
                s.position = static_cast<std::int64_t>(std::max(0.0, std::min(*value, 9.2e18)));
            return true;
        }
        if (name == "CanPlay")
            return flag(s.canPlay);
        if (name == "CanPause")
            return flag(s.canPause);
        if (name == "CanGoNext")
            return flag(s.canNext);
        if (name == "CanGoPrevious")
            return flag(s.canPrevious);
        if (name == "CanSeek")
            return flag(s.canSeek);
        if (name == "CanControl")
            return flag(s.canControl);
        if (name == "CanQuit")
            return flag(s.canQuit);
        if (name == "HasTrackList" && hasTrackList != nullptr)
            return flag(*hasTrackList);
        return false;
    });
}

} // namespace mpris_bridge
