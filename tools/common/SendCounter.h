// SendCounter: counts the messages one loaded module sends with SendMessageTimeoutW, by
// what becomes of them on Windows. There a send that times out stays in the receiver's
// queue and is handled later; Wine withdraws one the receiver had not taken yet, so a
// count of what a player received under Wine says less than this one. A send to a
// window Windows counts as hung (IsHungAppWindow) is refused at once and queues nothing.
#pragma once

#include <windows.h>

namespace tools {

struct SendCounts {
    long answered = 0;
    long leftQueued = 0; // timed out after waiting: on Windows, handled by the player later
    long refused = 0;    // the window counted as hung, or gone: nothing reached it
    long reached() const { return answered + leftQueued; }
};

class SendCounter {
public:
    // While it lives, `module`'s sends are counted (one counter at a time).
    explicit SendCounter(HMODULE module);
    ~SendCounter();
    SendCounter(const SendCounter&) = delete;
    SendCounter& operator=(const SendCounter&) = delete;

    SendCounts counts() const;
    void reset();

private:
    HMODULE module_;
    void* real_;
};

} // namespace tools
