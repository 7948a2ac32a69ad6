// SilentPlayer: a player window in the benchmark's own process, on its own thread,
// that answers the protocol like a small player but can be slow (every message, or
// only the texts, after a delay), pause now and then, or be stuck (in one message for
// a while). It counts the messages it takes up, so that a run shows whether they pile
// up in its queue.
#pragma once

#include <windows.h>

#include "WindowThread.h"

#include <atomic>

namespace bench {

class SilentPlayer {
public:
    SilentPlayer();
    ~SilentPlayer();
    SilentPlayer(const SilentPlayer&) = delete;
    SilentPlayer& operator=(const SilentPlayer&) = delete;

    HWND window() const { return thread_.window(); }
    // Every message is answered after this long (0: at once).
    void answerAfter(DWORD milliseconds) { delay_ = milliseconds; }
    // Every text request is answered after this long (0: at once).
    void textsAfter(DWORD milliseconds) { textDelay_ = milliseconds; }
    // Every `nth` message it takes up keeps it busy this long (0: never).
    void pauseEvery(long nth, DWORD milliseconds) {
        pause_ = milliseconds;
        pauseEvery_ = nth;
    }
    // The next message it takes up keeps it busy this long.
    void stickOnNext(DWORD milliseconds) { stick_ = milliseconds; }
    // It says it handles every message (RM_IS_SUPPORTED), ratings and a playlist among them.
    void offerEverything() { offers_ = true; }
    // The messages of the protocol it has taken up so far; of one message.
    long taken() const { return taken_; }
    long taken(UINT message) const;
    // Waits until it has handled everything sent to it before.
    void drain();

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT answer(HWND window, UINT message);

    std::atomic<DWORD> delay_{0};
    std::atomic<DWORD> textDelay_{0};
    std::atomic<DWORD> pause_{0};
    std::atomic<long> pauseEvery_{0};
    std::atomic<DWORD> stick_{0};
    std::atomic<long> taken_{0};
    std::atomic<bool> offers_{false};
    std::atomic<long> takenOf_[WM_APP - WM_USER] = {};
    // Last, so that the window is gone before what its procedure reads.
    WindowThread thread_;
};

} // namespace bench
