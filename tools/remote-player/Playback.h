// Playback: the reference player's simulated playing, with no sound.
//
// One current entry of the playlist, stopped, playing or paused; the position
// advances while playing and the next entry follows at the end (a random other
// one with shuffle on; after the last entry the list starts again with repeat on,
// otherwise playing stops). Volume 0 to kMaxVolume with a separate mute, a rating
// of 0 to 5 stars per entry, and eject, which stops and unloads the track until
// the next play.
#pragma once

#include "Playlist.h"

#include <cstdint>
#include <random>
#include <vector>

namespace remote_player {

class Playback {
public:
    static constexpr int kMaxVolume = 100;

    explicit Playback(std::vector<Track> tracks, std::uint32_t seed = 1);

    void playPause();
    void play();
    void pause();
    void stop();
    void next();
    void previous();
    void eject();
    void seek(long long seconds);
    void setVolume(long long volume);
    void toggleMute() { muted_ = !muted_; }
    void toggleShuffle() { shuffle_ = !shuffle_; }
    void toggleRepeat() { repeat_ = !repeat_; }
    void rate(int stars);
    void playEntry(long long index);
    // Lets `milliseconds` of playing time pass.
    void advance(std::int64_t milliseconds);

    bool playing() const { return state_ == State::Playing; }
    bool paused() const { return state_ == State::Paused; }
    bool loaded() const { return !ejected_ && !tracks_.empty(); }
    bool muted() const { return muted_; }
    bool shuffle() const { return shuffle_; }
    bool repeat() const { return repeat_; }
    int volume() const { return volume_; }
    int rating() const { return tracks_.empty() ? 0 : ratings_[current_]; }
    int current() const { return static_cast<int>(current_); }
    int lengthSeconds() const { return loaded() ? tracks_[current_].seconds : 0; }
    int positionSeconds() const { return loaded() ? static_cast<int>(positionMs_ / 1000) : 0; }
    const Track* track() const { return loaded() ? &tracks_[current_] : nullptr; }
    const std::vector<Track>& tracks() const { return tracks_; }

private:
    enum class State { Stopped, Playing, Paused };

    void moveTo(std::size_t index);
    // The entry after the current one; false at the end of the list without repeat.
    bool following(std::size_t& index);

    std::vector<Track> tracks_;
    std::vector<int> ratings_;
    std::size_t current_ = 0;
    State state_ = State::Stopped;
    std::int64_t positionMs_ = 0;
    int volume_ = 80;
    bool muted_ = false;
    bool shuffle_ = false;
    bool repeat_ = false;
    bool ejected_ = false;
    std::mt19937 random_;
};

} // namespace remote_player
