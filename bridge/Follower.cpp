#include "Follower.h"

#include "Metadata.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace mpris_bridge {
namespace {

constexpr char kPrefix[] = "org.mpris.MediaPlayer2.";
constexpr char kPath[] = "/org/mpris/MediaPlayer2";
constexpr char kRoot[] = "org.mpris.MediaPlayer2";
constexpr char kPlayer[] = "org.mpris.MediaPlayer2.Player";
constexpr char kTrackList[] = "org.mpris.MediaPlayer2.TrackList";
constexpr char kProperties[] = "org.freedesktop.DBus.Properties";
constexpr char kBus[] = "org.freedesktop.DBus";
constexpr std::uint64_t kQuestionMicroseconds = 5'000'000; // then the bus gives up on a question
constexpr std::int64_t kDriftMicroseconds = 500'000;       // a position further off is sent

bool timedOut(sd_bus_message* m) {
    return sd_bus_message_is_method_error(m, "org.freedesktop.DBus.Error.NoReply") ||
           sd_bus_message_is_method_error(m, "org.freedesktop.DBus.Error.Timeout");
}

} // namespace

struct Follower::Call {
    Follower* self;
    unsigned generation;
    void (Follower::*on)(sd_bus_message*);
};

Follower::Follower(sd_bus* bus, std::string wanted, Changed changed)
    : bus_(bus), wanted_(std::move(wanted)), changed_(std::move(changed)) {}

Follower::~Follower() {
    for (sd_bus_slot* slot : playerSlots_)
        sd_bus_slot_unref(slot);
    sd_bus_slot_unref(ownerSlot_);
}

int Follower::start() {
    const int r = sd_bus_match_signal_async(bus_, &ownerSlot_, kBus, "/org/freedesktop/DBus", kBus,
                                            "NameOwnerChanged", &Follower::onNameOwnerChanged, nullptr, this);
    if (r < 0)
        return r;
    lookForPlayer();
    return 0;
}

int Follower::onReply(sd_bus_message* m, void* userdata, sd_bus_error*) {
    const std::unique_ptr<Call> call(static_cast<Call*>(userdata));
    Follower& self = *call->self;
    if (call->generation != self.generation_)
        return 0; // from a player no longer followed
    if (!timedOut(m) && call->on != &Follower::onNames)
        self.answered();
    (self.*call->on)(m);
    return 0;
}

int Follower::call(const char* destination, const char* interface, const char* member,
                   void (Follower::*on)(sd_bus_message*), const std::function<int(sd_bus_message*)>& append) {
    sd_bus_message* m = nullptr;
    const bool toBus = std::string(destination) == kBus;
    int r = sd_bus_message_new_method_call(bus_, &m, destination, toBus ? "/org/freedesktop/DBus" : kPath,
                                           interface, member);
    if (r >= 0 && append)
        r = append(m);
    if (r >= 0) {
        auto* pending = new Call{this, generation_, on};
        r = sd_bus_call_async(bus_, nullptr, m, &Follower::onReply, pending, kQuestionMicroseconds);
        if (r < 0)
            delete pending;
    }
    sd_bus_message_unref(m);
    return r;
}

int Follower::callPlayer(const char* interface, const char* member,
                         const std::function<int(sd_bus_message*)>& append) {
    return name_.empty() ? 0 : call(name_.c_str(), interface, member, &Follower::onIgnored, append);
}

int Follower::setProperty(const char* property, const std::function<int(sd_bus_message*)>& append) {
    return callPlayer(kProperties, "Set", [&](sd_bus_message* m) {
        const int r = sd_bus_message_append(m, "ss", kPlayer, property);
        return r < 0 ? r : append(m);
    });
}

bool Follower::wants(const std::string& name) const {
    if (name.rfind(kPrefix, 0) != 0)
        return false;
    const std::string rest = name.substr(sizeof kPrefix - 1);
    return wanted_.empty() || rest == wanted_ || rest.rfind(wanted_ + ".", 0) == 0;
}

void Follower::lookForPlayer() {
    call(kBus, kBus, "ListNames", &Follower::onNames);
}

void Follower::onNames(sd_bus_message* m) {
    if (sd_bus_message_is_method_error(m, nullptr) || !name_.empty())
        return;
    std::vector<std::string> players;
    if (sd_bus_message_enter_container(m, 'a', "s") < 0)
        return;
    const char* name = nullptr;
    while (sd_bus_message_read_basic(m, 's', &name) > 0)
        if (wants(name))
            players.emplace_back(name);
    sd_bus_message_exit_container(m);
    std::sort(players.begin(), players.end());
    if (!players.empty())
        follow(players.front());
    else
        std::fprintf(stderr, "mpris-bridge: no MPRIS player%s on the session bus yet; waiting for one\n",
                     wanted_.empty() ? "" : (" named " + wanted_).c_str());
}

int Follower::onNameOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error*) {
    Follower& self = *static_cast<Follower*>(userdata);
    const char *name = nullptr, *before = nullptr, *after = nullptr;
    if (sd_bus_message_read(m, "sss", &name, &before, &after) < 0 || !self.wants(name))
        return 0;
    if (name == self.name_ && *after == '\0') {
        std::fprintf(stderr, "mpris-bridge: %s went\n", name);
        self.unfollow();
        self.lookForPlayer(); // another, if one runs
    } else if (name == self.name_) {
        self.follow(name); // the same name, another process
    } else if (self.name_.empty() && *after != '\0') {
        self.follow(name);
    }
    return 0;
}

void Follower::follow(const std::string& name) {
    unfollow();
    name_ = name;
    snapshot_ = {};
    snapshot_.player = name;
    trackId_.clear();
    trackIds_.clear();
    hasTrackList_ = false;
    lastAnswer_ = Clock::now();
    for (const char* interface : {kProperties, kPlayer, kTrackList}) {
        sd_bus_slot* slot = nullptr;
        if (sd_bus_match_signal_async(bus_, &slot, name_.c_str(), kPath, interface, nullptr,
                                      &Follower::onPlayerSignal, nullptr, this) >= 0)
            playerSlots_.push_back(slot);
    }
    std::fprintf(stderr, "mpris-bridge: following %s\n", name_.c_str());
    readAll();
}

void Follower::unfollow() {
    ++generation_; // replies still on their way are for no one now
    for (sd_bus_slot* slot : playerSlots_)
        sd_bus_slot_unref(slot);
    playerSlots_.clear();
    askingPosition_ = false;
    if (name_.empty())
        return;
    name_.clear();
    snapshot_ = {};
    notify(); // no player: no window
}

void Follower::readAll() {
    for (const char* interface : {kPlayer, kRoot})
        call(name_.c_str(), kProperties, "GetAll", &Follower::onPlayerProperties,
             [interface](sd_bus_message* m) { return sd_bus_message_append(m, "s", interface); });
    // Asked whatever HasTrackList says: VLC 3 offers a track list and says it has none.
    readTracks();
}

void Follower::readProperties(sd_bus_message* m) {
    if (sd_bus_message_enter_container(m, 'a', "{sv}") < 0)
        return;
    while (sd_bus_message_enter_container(m, 'e', "sv") > 0) {
        const char* key = nullptr;
        if (sd_bus_message_read_basic(m, 's', &key) < 0 ||
            readProperty(m, key, snapshot_, &trackId_, &hasTrackList_) < 0)
            return;
        if (std::string(key) == "Position")
            positionAt_ = Clock::now();
        sd_bus_message_exit_container(m);
    }
    sd_bus_message_exit_container(m);
}

void Follower::onPlayerProperties(sd_bus_message* m) {
    if (sd_bus_message_is_method_error(m, nullptr))
        return;
    const bool hadTrackList = hasTrackList_;
    readProperties(m);
    if (hasTrackList_ != hadTrackList)
        readTracks(); // said to have come or gone: asked again
    notify();
}

int Follower::onPlayerSignal(sd_bus_message* m, void* userdata, sd_bus_error*) {
    Follower& self = *static_cast<Follower*>(userdata);
    self.answered();
    const std::string member = sd_bus_message_get_member(m);
    const std::string interface = sd_bus_message_get_interface(m);
    if (interface == kTrackList) {
        self.readTracks();
        return 0;
    }
    if (member == "Seeked") {
        std::int64_t position = 0;
        if (sd_bus_message_read(m, "x", &position) >= 0) {
            self.snapshot_.position = std::max<std::int64_t>(position, 0);
            self.positionAt_ = Clock::now();
            self.notify();
        }
        return 0;
    }
    if (member != "PropertiesChanged")
        return 0;
    const char* changedInterface = nullptr;
    if (sd_bus_message_read(m, "s", &changedInterface) < 0)
        return 0;
    const std::string before = self.snapshot_.status, track = self.trackId_;
    self.readProperties(m);
    std::vector<std::string> invalidated;
    if (sd_bus_message_enter_container(m, 'a', "s") >= 0) {
        const char* name = nullptr;
        while (sd_bus_message_read_basic(m, 's', &name) > 0)
            invalidated.emplace_back(name);
        sd_bus_message_exit_container(m);
    }
    if (!invalidated.empty())
        self.readAll(); // said changed without its value: asked again
    if (std::string(changedInterface) == kTrackList)
        self.readTracks();
    if (self.snapshot_.status != before || self.trackId_ != track) {
        self.askingPosition_ = false;
        self.tick(); // played, paused or another track: where it is now
    }
    if (self.trackId_ != track && self.snapshot_.tracks) {
        const auto at = std::find(self.trackIds_.begin(), self.trackIds_.end(), self.trackId_);
        self.snapshot_.current = at == self.trackIds_.end()
                                     ? std::nullopt
                                     : std::optional<int>(static_cast<int>(at - self.trackIds_.begin()));
    }
    self.notify();
    return 0;
}

void Follower::readTracks() {
    call(name_.c_str(), kProperties, "Get", &Follower::onTracks,
         [](sd_bus_message* m) { return sd_bus_message_append(m, "ss", kTrackList, "Tracks"); });
}

void Follower::onTracks(sd_bus_message* m) {
    if (sd_bus_message_is_method_error(m, nullptr) || sd_bus_message_enter_container(m, 'v', "ao") < 0) {
        trackIds_.clear(); // no track list: none reported
        if (snapshot_.tracks) {
            snapshot_.tracks.reset();
            snapshot_.current.reset();
            notify();
        }
        return;
    }
    std::vector<std::string> ids;
    if (sd_bus_message_enter_container(m, 'a', "o") >= 0) {
        const char* id = nullptr;
        while (sd_bus_message_read_basic(m, 'o', &id) > 0)
            ids.emplace_back(id);
        sd_bus_message_exit_container(m);
    }
    trackIds_ = ids;
    if (ids.empty()) {
        snapshot_.tracks.emplace();
        snapshot_.current.reset();
        notify();
        return;
    }
    call(name_.c_str(), kTrackList, "GetTracksMetadata", &Follower::onTracksMetadata,
         [ids](sd_bus_message* m) {
             int r = sd_bus_message_open_container(m, 'a', "o");
             for (std::size_t i = 0; r >= 0 && i < ids.size(); ++i)
                 r = sd_bus_message_append_basic(m, 'o', ids[i].c_str());
             return r < 0 ? r : sd_bus_message_close_container(m);
         });
}

void Follower::onTracksMetadata(sd_bus_message* m) {
    if (sd_bus_message_is_method_error(m, nullptr) || sd_bus_message_enter_container(m, 'a', "a{sv}") < 0)
        return;
    // In the order of the track list's ids: the metadata may come in any order, or miss one.
    std::vector<std::string> texts(trackIds_.size());
    for (;;) {
        std::string text, id;
        char type = 0;
        if (sd_bus_message_peek_type(m, &type, nullptr) <= 0 || readEntryText(m, text, id) < 0)
            break;
        const auto at = std::find(trackIds_.begin(), trackIds_.end(), id);
        if (at != trackIds_.end())
            texts[static_cast<std::size_t>(at - trackIds_.begin())] = text;
    }
    sd_bus_message_exit_container(m);
    snapshot_.tracks = texts;
    const auto at = std::find(trackIds_.begin(), trackIds_.end(), trackId_);
    snapshot_.current =
        at == trackIds_.end() ? std::nullopt : std::optional<int>(static_cast<int>(at - trackIds_.begin()));
    notify();
}

void Follower::tick() {
    if (name_.empty())
        return;
    const Clock::time_point now = Clock::now();
    const bool silent =
        askingPosition_ ? now - positionAsked_ > kStaleAfter : now - lastAnswer_ > kStaleAfter;
    if (silent && !snapshot_.stale) {
        snapshot_.stale = true; // answered from the last snapshot, the position no longer moved on
        std::fprintf(stderr, "mpris-bridge: %s does not answer\n", name_.c_str());
        notify();
    }
    // A track list without the track playing is asked again: VLC fills its list after it
    // has said what plays, and signals nothing when it does.
    if (snapshot_.tracks && !snapshot_.current && !trackId_.empty() && !snapshot_.stale)
        readTracks();
    if (askingPosition_)
        return;
    askingPosition_ = true;
    positionAsked_ = now;
    call(name_.c_str(), kProperties, "Get", &Follower::onPosition,
         [](sd_bus_message* m) { return sd_bus_message_append(m, "ss", kPlayer, "Position"); });
}

void Follower::onPosition(sd_bus_message* m) {
    askingPosition_ = false;
    std::int64_t position = 0;
    if (sd_bus_message_is_method_error(m, nullptr) || sd_bus_message_read(m, "v", "x", &position) < 0)
        return;
    const Clock::time_point now = Clock::now();
    // Sent only when it is not where the window would put it by itself.
    std::int64_t expected = snapshot_.position.value_or(0);
    if (snapshot_.status == "Playing")
        expected += static_cast<std::int64_t>(
            std::chrono::duration<double, std::micro>(now - positionAt_).count() * snapshot_.rate);
    const bool known = snapshot_.position.has_value();
    snapshot_.position = std::max<std::int64_t>(position, 0);
    positionAt_ = now;
    if (!known || std::llabs(expected - position) > kDriftMicroseconds)
        notify();
}

void Follower::answered() {
    lastAnswer_ = Clock::now();
    if (!snapshot_.stale)
        return;
    snapshot_.stale = false;
    std::fprintf(stderr, "mpris-bridge: %s answers again\n", name_.c_str());
    notify();
}

void Follower::notify() {
    bridge_wire::Snapshot now = snapshot_;
    now.player = name_;
    if (now.position && now.status == "Playing" && !now.stale)
        *now.position += static_cast<std::int64_t>(
            std::chrono::duration<double, std::micro>(Clock::now() - positionAt_).count() * now.rate);
    if (now.position && now.length)
        now.position = std::min(*now.position, *now.length);
    changed_(now);
}

void Follower::command(const std::string& line) {
    const std::size_t space = line.find(' ');
    const std::string word = line.substr(0, space);
    const long long number =
        space == std::string::npos ? 0 : std::strtoll(line.c_str() + space + 1, nullptr, 10);
    const char* methods[][2] = {{"play", "Play"}, {"pause", "Pause"}, {"playpause", "PlayPause"},
                                {"stop", "Stop"}, {"next", "Next"},   {"previous", "Previous"}};
    for (const auto& [command, method] : methods)
        if (word == command) {
            callPlayer(kPlayer, method);
            return;
        }
    if (word == "quit") {
        callPlayer(kRoot, "Quit");
    } else if (word == "shuffle") {
        const int on = snapshot_.shuffle.value_or(false) ? 0 : 1;
        setProperty("Shuffle", [on](sd_bus_message* m) { return sd_bus_message_append(m, "v", "b", on); });
    } else if (word == "repeat") {
        const char* loop = snapshot_.loop == "None" || snapshot_.loop.empty() ? "Playlist" : "None";
        setProperty("LoopStatus",
                    [loop](sd_bus_message* m) { return sd_bus_message_append(m, "v", "s", loop); });
    } else if (word == "volume") {
        const double volume = std::clamp(number, 0LL, 100LL) / 100.0;
        setProperty("Volume",
                    [volume](sd_bus_message* m) { return sd_bus_message_append(m, "v", "d", volume); });
    } else if (word == "seek") {
        const std::int64_t to = std::clamp<long long>(number, 0, 1'000'000'000) * 1'000'000;
        if (!trackId_.empty()) {
            const std::string id = trackId_;
            callPlayer(kPlayer, "SetPosition", [id, to](sd_bus_message* m) {
                return sd_bus_message_append(m, "ox", id.c_str(), to);
            });
        } else { // no track id to name: as far as that from where it is
            const std::int64_t by = to - snapshot_.position.value_or(0);
            callPlayer(kPlayer, "Seek",
                       [by](sd_bus_message* m) { return sd_bus_message_append(m, "x", by); });
        }
    } else if (word == "goto" && number >= 0 && static_cast<std::size_t>(number) < trackIds_.size()) {
        const std::string id = trackIds_[static_cast<std::size_t>(number)];
        callPlayer(kTrackList, "GoTo",
                   [id](sd_bus_message* m) { return sd_bus_message_append(m, "o", id.c_str()); });
    }
}

} // namespace mpris_bridge
