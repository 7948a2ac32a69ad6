// mpris-test-player: a small MPRIS player of the tests' own, on the session bus as
// org.mpris.MediaPlayer2.NAME (testplayer unless --name says otherwise). It plays
// nothing: it offers the root, Player and TrackList interfaces over a list of tracks,
// and says on standard output every method a client calls ("GoTo /track/2"). Lines on
// its standard input change what it offers, each change signalled as a player does:
//
//   tracks N         a track list of N entries (0: none), the first one current
//   metadata KIND    the current track's metadata: normal, missing (no entry at all),
//                    empty (empty texts), wrong-types (every value of another type),
//                    long-title (a title of 10,000 characters), zero-length,
//                    negative-length
//   volume X         the volume, any double (1.5 is above what MPRIS allows)
//   status S         Playing, Paused or Stopped
//
// Built with sd-bus, as the bridge is.
#include <systemd/sd-bus.h>
#include <systemd/sd-event.h>

#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";
constexpr char kTrackList[] = "org.mpris.MediaPlayer2.TrackList";

struct Player {
    sd_bus* bus = nullptr;
    int tracks = 3;
    int current = 0;
    std::string metadata = "normal";
    double volume = 0.5;
    std::string status = "Paused";
    std::int64_t position = 0;
    std::string input;
};

Player player;

std::string trackId(int i) {
    return "/track/" + std::to_string(i);
}

void said(const std::string& what) {
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}

int appendEntry(sd_bus_message* m, const char* key, const char* type, ...) {
    va_list values;
    va_start(values, type);
    int r = sd_bus_message_open_container(m, 'e', "sv");
    if (r >= 0)
        r = sd_bus_message_append_basic(m, 's', key);
    if (r >= 0)
        r = sd_bus_message_open_container(m, 'v', type);
    if (r >= 0)
        r = sd_bus_message_appendv(m, type, values);
    if (r >= 0)
        r = sd_bus_message_close_container(m);
    if (r >= 0)
        r = sd_bus_message_close_container(m);
    va_end(values);
    return r;
}

// The metadata of entry i, as `kind` makes it.
int appendMetadata(sd_bus_message* m, int i, const std::string& kind) {
    int r = sd_bus_message_open_container(m, 'a', "{sv}");
    if (r < 0)
        return r;
    const std::string title = "Song " + std::to_string(i + 1);
    if (kind == "missing") {
        // nothing at all
    } else if (kind == "wrong-types") {
        appendEntry(m, "mpris:trackid", "o", trackId(i).c_str());
        appendEntry(m, "xesam:title", "i", 42);
        appendEntry(m, "xesam:artist", "u", 7u);
        appendEntry(m, "xesam:album", "b", 1);
        appendEntry(m, "mpris:length", "s", "300000000");
        appendEntry(m, "xesam:userRating", "s", "0.8");
    } else {
        const std::string longTitle(10'000, 'x');
        const std::string shown = kind == "long-title" ? longTitle : kind == "empty" ? "" : title;
        const std::int64_t length = kind == "zero-length"       ? 0
                                    : kind == "negative-length" ? -5'000'000
                                                                : 180'000'000;
        appendEntry(m, "mpris:trackid", "o", trackId(i).c_str());
        appendEntry(m, "xesam:title", "s", shown.c_str());
        sd_bus_message_open_container(m, 'e', "sv");
        sd_bus_message_append_basic(m, 's', "xesam:artist");
        sd_bus_message_open_container(m, 'v', "as");
        if (kind == "empty")
            sd_bus_message_append(m, "as", 0);
        else
            sd_bus_message_append(m, "as", 2, "Ada", "Grace");
        sd_bus_message_close_container(m);
        sd_bus_message_close_container(m);
        appendEntry(m, "xesam:album", "s", kind == "empty" ? "" : "Tests");
        appendEntry(m, "mpris:length", "x", length);
        appendEntry(m, "xesam:trackNumber", "i", i + 1);
        appendEntry(m, "xesam:userRating", "d", 0.6);
    }
    return sd_bus_message_close_container(m);
}

int getMetadata(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return appendMetadata(reply, player.current, player.metadata);
}

int getTracks(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    int r = sd_bus_message_open_container(reply, 'a', "o");
    for (int i = 0; r >= 0 && i < player.tracks; ++i)
        r = sd_bus_message_append_basic(reply, 'o', trackId(i).c_str());
    return r < 0 ? r : sd_bus_message_close_container(reply);
}

int getString(sd_bus*, const char*, const char*, const char* property, sd_bus_message* reply, void*,
              sd_bus_error*) {
    const std::string name = property;
    return sd_bus_message_append(reply, "s",
                                 name == "PlaybackStatus" ? player.status.c_str()
                                 : name == "LoopStatus"   ? "None"
                                                          : "Test");
}

int getVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "d", player.volume);
}

int setVolume(sd_bus*, const char*, const char*, const char*, sd_bus_message* value, void*, sd_bus_error*) {
    const int r = sd_bus_message_read(value, "d", &player.volume);
    said("set Volume " + std::to_string(player.volume));
    return r;
}

int getPosition(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "x", player.position);
}

int getTrue(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*, sd_bus_error*) {
    return sd_bus_message_append(reply, "b", 1);
}

int getHasTrackList(sd_bus*, const char*, const char*, const char*, sd_bus_message* reply, void*,
                    sd_bus_error*) {
    return sd_bus_message_append(reply, "b", player.tracks > 0);
}

void changed(const char* interface, const char* property) {
    sd_bus_emit_properties_changed(player.bus, kPath, interface, property, nullptr);
}

// A method a client called: said, and carried out where the tests look at it.
int method(sd_bus_message* m, void*, sd_bus_error*) {
    const std::string member = sd_bus_message_get_member(m);
    std::string what = member;
    if (member == "GoTo") {
        const char* id = nullptr;
        sd_bus_message_read(m, "o", &id);
        what += std::string(" ") + id;
        const std::string rest = std::string(id).substr(std::strlen("/track/"));
        player.current = std::atoi(rest.c_str());
        changed(kPlayer, "Metadata");
    } else if (member == "SetPosition") {
        const char* id = nullptr;
        sd_bus_message_read(m, "ox", &id, &player.position);
        what += std::string(" ") + id + " " + std::to_string(player.position);
    } else if (member == "Play" || member == "Pause" || member == "Stop") {
        player.status = member == "Play" ? "Playing" : member == "Pause" ? "Paused" : "Stopped";
        changed(kPlayer, "PlaybackStatus");
    } else if (member == "GetTracksMetadata") {
        sd_bus_message* reply = nullptr;
        sd_bus_message_new_method_return(m, &reply);
        sd_bus_message_open_container(reply, 'a', "a{sv}");
        if (sd_bus_message_enter_container(m, 'a', "o") >= 0) {
            const char* id = nullptr;
            while (sd_bus_message_read_basic(m, 'o', &id) > 0)
                appendMetadata(reply, std::atoi(std::string(id).substr(std::strlen("/track/")).c_str()),
                               "normal");
            sd_bus_message_exit_container(m);
        }
        sd_bus_message_close_container(reply);
        const int r = sd_bus_send(nullptr, reply, nullptr);
        sd_bus_message_unref(reply);
        return r;
    }
    said(what);
    return sd_bus_reply_method_return(m, "");
}

const sd_bus_vtable kRootTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Quit", "", "", method, 0),
    SD_BUS_METHOD("Raise", "", "", method, 0),
    SD_BUS_PROPERTY("Identity", "s", getString, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanQuit", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanRaise", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("HasTrackList", "b", getHasTrackList, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_VTABLE_END};

const sd_bus_vtable kPlayerTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("Play", "", "", method, 0),
    SD_BUS_METHOD("Pause", "", "", method, 0),
    SD_BUS_METHOD("PlayPause", "", "", method, 0),
    SD_BUS_METHOD("Stop", "", "", method, 0),
    SD_BUS_METHOD("Next", "", "", method, 0),
    SD_BUS_METHOD("Previous", "", "", method, 0),
    SD_BUS_METHOD("Seek", "x", "", method, 0),
    SD_BUS_METHOD("SetPosition", "ox", "", method, 0),
    SD_BUS_PROPERTY("PlaybackStatus", "s", getString, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("LoopStatus", "s", getString, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_WRITABLE_PROPERTY("Volume", "d", getVolume, setVolume, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Metadata", "a{sv}", getMetadata, 0, SD_BUS_VTABLE_PROPERTY_EMITS_CHANGE),
    SD_BUS_PROPERTY("Position", "x", getPosition, 0, 0),
    SD_BUS_PROPERTY("CanGoNext", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanGoPrevious", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanPlay", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanPause", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanSeek", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_PROPERTY("CanControl", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END};

const sd_bus_vtable kTrackListTable[] = {
    SD_BUS_VTABLE_START(0),
    SD_BUS_METHOD("GetTracksMetadata", "ao", "aa{sv}", method, 0),
    SD_BUS_METHOD("GoTo", "o", "", method, 0),
    SD_BUS_PROPERTY("Tracks", "ao", getTracks, 0, SD_BUS_VTABLE_PROPERTY_EMITS_INVALIDATION),
    SD_BUS_PROPERTY("CanEditTracks", "b", getTrue, 0, SD_BUS_VTABLE_PROPERTY_CONST),
    SD_BUS_VTABLE_END};

// A line of standard input: a change to what it offers.
void apply(const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space),
                      value = space == std::string::npos ? "" : line.substr(space + 1);
    if (word == "tracks") {
        player.tracks = std::atoi(value.c_str());
        player.current = 0;
        changed("org.mpris.MediaPlayer2", "HasTrackList");
        sd_bus_emit_signal(player.bus, kPath, kTrackList, "TrackListReplaced", "aoo", 0, "/track/0");
    } else if (word == "metadata") {
        player.metadata = value;
        changed(kPlayer, "Metadata");
    } else if (word == "volume") {
        player.volume = std::strtod(value.c_str(), nullptr);
        changed(kPlayer, "Volume");
    } else if (word == "status") {
        player.status = value;
        changed(kPlayer, "PlaybackStatus");
    }
    said("applied " + line);
}

int onInput(sd_event_source* source, int fd, uint32_t, void*) {
    char chunk[1024];
    const ssize_t got = read(fd, chunk, sizeof chunk);
    if (got <= 0) {
        sd_event_source_set_enabled(source, SD_EVENT_OFF); // input ended: it plays on as it is
        return 0;
    }
    player.input.append(chunk, static_cast<std::size_t>(got));
    for (std::size_t end; (end = player.input.find('\n')) != std::string::npos;
         player.input.erase(0, end + 1))
        apply(player.input.substr(0, end));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    std::string name = "testplayer";
    for (int i = 1; i + 1 < argc; ++i)
        if (std::string(argv[i]) == "--name")
            name = argv[++i];
    if (sd_bus_open_user(&player.bus) < 0) {
        std::fprintf(stderr, "mpris-test-player: no session bus\n");
        return 1;
    }
    sd_bus_add_object_vtable(player.bus, nullptr, kPath, "org.mpris.MediaPlayer2", kRootTable, nullptr);
    sd_bus_add_object_vtable(player.bus, nullptr, kPath, kPlayer, kPlayerTable, nullptr);
    sd_bus_add_object_vtable(player.bus, nullptr, kPath, kTrackList, kTrackListTable, nullptr);
    if (sd_bus_request_name(player.bus, ("org.mpris.MediaPlayer2." + name).c_str(), 0) < 0) {
        std::fprintf(stderr, "mpris-test-player: cannot own its name\n");
        return 1;
    }
    sd_event* event = nullptr;
    sd_event_default(&event);
    sd_bus_attach_event(player.bus, event, 0);
    sd_event_add_io(event, nullptr, STDIN_FILENO, EPOLLIN, &onInput, nullptr);
    said("ready");
    return sd_event_loop(event) < 0 ? 1 : 0;
}
