// Follower: one MPRIS player on the session bus, followed into a snapshot (Wire.h).
//
// It follows the first org.mpris.MediaPlayer2.* name (in name order), or the first that
// `wanted` names as playerctl does ("mpv" names org.mpris.MediaPlayer2.mpv and
// org.mpris.MediaPlayer2.mpv.instance42), and another when that one goes. The snapshot
// follows PropertiesChanged and Seeked, and the track list's signals where there is a
// track list (asked of every player, whatever its HasTrackList says); the position is asked once a second
// besides, since MPRIS signals no position while a track plays. A player that has not answered for
// kStaleAfter is marked stale. Everything is asked asynchronously: nothing here waits on the player. Commands
// are carried out on the player the same way.
#pragma once

#include "Wire.h"

#include <systemd/sd-bus.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace mpris_bridge {

inline constexpr std::chrono::seconds kStaleAfter{3};

class Follower {
public:
    using Changed = std::function<void(const bridge_wire::Snapshot&)>;
    Follower(sd_bus* bus, std::string wanted, Changed changed);
    ~Follower();
    Follower(const Follower&) = delete;
    Follower& operator=(const Follower&) = delete;

    // Watches the bus for players coming and going, and looks for one now.
    int start();
    // Once a second: the position asked, and whether the player still answers.
    void tick();
    // A line from the window's half (Wire.h's commands).
    void command(const std::string& line);

private:
    using Clock = std::chrono::steady_clock;
    struct Call;
    static int onReply(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int onNameOwnerChanged(sd_bus_message* m, void* userdata, sd_bus_error* error);
    static int onPlayerSignal(sd_bus_message* m, void* userdata, sd_bus_error* error);
    // An asynchronous call to the followed player (or the bus), whose reply goes to `on`
    // if the player followed is still the one asked.
    int call(const char* destination, const char* interface, const char* member,
             void (Follower::*on)(sd_bus_message*), const std::function<int(sd_bus_message*)>& append = {});
    int callPlayer(const char* interface, const char* member,
                   const std::function<int(sd_bus_message*)>& append = {});
    int setProperty(const char* property, const std::function<int(sd_bus_message*)>& append);

    bool wants(const std::string& name) const;
    void lookForPlayer();
    void follow(const std::string& name);
    void unfollow();
    void readAll();
    void readTracks();
    void answered();
    void notify();

    void onNames(sd_bus_message* m);
    void onPlayerProperties(sd_bus_message* m);
    void onPosition(sd_bus_message* m);
    void onTracks(sd_bus_message* m);
    void onTracksMetadata(sd_bus_message* m);
    void onIgnored(sd_bus_message*) {}
    void readProperties(sd_bus_message* m); // a{sv}

    sd_bus* bus_;
    std::string wanted_;
    Changed changed_;
    sd_bus_slot* ownerSlot_ = nullptr;
    std::vector<sd_bus_slot*> playerSlots_;
    unsigned generation_ = 0; // a new one with every player followed
    std::string name_;
    bridge_wire::Snapshot snapshot_;
    std::string trackId_;
    std::vector<std::string> trackIds_;
    bool hasTrackList_ = false;
    Clock::time_point positionAt_;    // when snapshot_.position was read
    Clock::time_point lastAnswer_;    // the player's last answer or signal
    Clock::time_point positionAsked_; // the outstanding position question, if any
    bool askingPosition_ = false;
};

} // namespace mpris_bridge
