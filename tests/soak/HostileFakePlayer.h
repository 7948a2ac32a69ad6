// HostileFakePlayer: a player window that answers everything badly, on its own thread.
//
// Every message in the WM_USER range is answered with a value drawn from 0, 1, -1,
// small and large positives and negatives, INT_MIN and INT_MAX; text messages (and
// now and then others) first set a title of random length up to 65,535 units, with
// surrogate pairs, lone surrogates, control and other odd characters, or the empty
// title. The driver plans each call: the fake may hang (stop handling messages)
// for a while on the next message it gets, or destroy its window on the call's
// k-th message and stay away for a few calls, or answer every message slowly. Answers depend only on the
// seed, the call number and the message's place in the call, so a seed replays the same run.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace soak {

// A value a hostile player might answer, chosen by `r`: 0, 1, -1, small and large
// positives and negatives, INT_MIN or INT_MAX. Large values (2^24 and up) make any
// playlist size overflow 32 bits, so a run never waits on millions of entries.
int hostileValue(std::uint64_t r);

struct CallPlan {
    std::uint64_t call = 0;
    int hangMilliseconds = 0;        // > 0: hang that long on the next message, in this call or a later one
    int vanishAtMessage = 0;         // > 0: destroy the window on the call's n-th message
    int answerDelayMilliseconds = 0; // > 0: a slow player, answering every message after this long
};

class HostileFakePlayer {
public:
    explicit HostileFakePlayer(std::uint64_t seed);
    ~HostileFakePlayer();

    // Sets the plan for the next call; recreates the window first if `present` and it is gone.
    void plan(const CallPlan& plan, bool present);
    bool windowExists() const;

    // The last answer given to RM_PLAYLIST_COUNT, to check a playlist against.
    int lastPlaylistCount() const { return lastPlaylistCount_.load(); }
    std::uint64_t hangs() const { return hangs_.load(); }
    std::uint64_t vanishes() const { return vanishes_.load(); }
    bool hanging() const { return hanging_.load(); }
    // True while the fake is hung, or since the hang began if it began during this call.
    bool hungSince(std::uint64_t hangsBefore) const {
        return hanging_.load() || hangs_.load() != hangsBefore;
    }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void run();
    bool createWindow();
    std::uint64_t random(std::uint64_t salt) const;
    std::wstring hostileTitle(std::uint64_t r) const;

    const std::uint64_t seed_;
    std::mutex mutex_;
    CallPlan plan_;
    int messageInCall_ = 0;
    int pendingHang_ = 0;
    std::atomic<HWND> window_{nullptr};
    std::atomic<int> lastPlaylistCount_{0};
    std::atomic<std::uint64_t> hangs_{0};
    std::atomic<std::uint64_t> vanishes_{0};
    std::atomic<bool> hanging_{false};
    HANDLE ready_;
    DWORD threadId_ = 0;
    std::thread thread_;
};

} // namespace soak
