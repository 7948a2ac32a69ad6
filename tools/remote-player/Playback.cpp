#include "Playback.h"

#include <algorithm>

namespace remote_player {

Playback::Playback(std::vector<Track> tracks, std::uint32_t seed)
    : tracks_(std::move(tracks)), ratings_(tracks_.size(), 0), random_(seed) {}

void Playback::playPause() {
    if (playing())
        pause();
    else
        play();
}

void Playback::play() {
    if (tracks_.empty())
        return;
    if (ejected_) {
        ejected_ = false;
        positionMs_ = 0;
    }
    state_ = State::Playing;
}

void Playback::pause() {
    if (playing())
        state_ = State::Paused;
}

void Playback::stop() {
    state_ = State::Stopped;
    positionMs_ = 0;
}

void Playback::next() {
    std::size_t index = current_;
    if (tracks_.empty())
        return;
    if (!following(index))
        index = 0;
    moveTo(index);
}

void Playback::previous() {
    if (tracks_.empty())
        return;
    if (positionMs_ > 3000) { // a few seconds in: back to the start of this entry
        positionMs_ = 0;
        return;
    }
    moveTo(current_ == 0 ? tracks_.size() - 1 : current_ - 1);
}

void Playback::eject() {
    stop();
    ejected_ = true;
}

void Playback::seek(long long seconds) {
    if (!loaded())
        return;
    positionMs_ = std::clamp<long long>(seconds, 0, tracks_[current_].seconds) * 1000;
    // Stopped, it stays not playing, paused at that second: play goes on from there.
    if (state_ == State::Stopped)
        state_ = State::Paused;
}

void Playback::setVolume(long long volume) {
    volume_ = static_cast<int>(std::clamp<long long>(volume, 0, kMaxVolume));
}

void Playback::rate(int stars) {
    if (!tracks_.empty() && stars >= 0 && stars <= 5)
        ratings_[current_] = stars;
}

void Playback::playEntry(long long index) {
    if (index < 0 || index >= static_cast<long long>(tracks_.size()))
        return;
    ejected_ = false;
    moveTo(static_cast<std::size_t>(index));
    state_ = State::Playing;
}

void Playback::advance(std::int64_t milliseconds) {
    if (!playing() || !loaded())
        return;
    positionMs_ += milliseconds;
    while (playing() && positionMs_ >= std::int64_t{tracks_[current_].seconds} * 1000) {
        const std::int64_t over = positionMs_ - std::int64_t{tracks_[current_].seconds} * 1000;
        std::size_t index = current_;
        if (!following(index)) {
            stop();
            return;
        }
        moveTo(index);
        positionMs_ = over;
    }
}

void Playback::moveTo(std::size_t index) {
    current_ = index;
    positionMs_ = 0;
}

bool Playback::following(std::size_t& index) {
    if (shuffle_ && tracks_.size() > 1) {
        std::uniform_int_distribution<std::size_t> pick(0, tracks_.size() - 2);
        const std::size_t other = pick(random_);
        index = other >= current_ ? other + 1 : other;
        return true;
    }
    if (current_ + 1 < tracks_.size()) {
        index = current_ + 1;
        return true;
    }
    index = 0;
    return repeat_;
}

} // namespace remote_player
