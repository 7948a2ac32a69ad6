// TitleChannel: the player's one window title, shared by every program that asks it
// for texts. A text request and the reading of its reply from the title are one step
// for every instance of the library in the user's session, and for any other program
// that takes the same named mutex (PLAYER_REMOTE_REPLY_MUTEX): otherwise two hosts
// asking at once read each other's replies.
//
// The mutex is opened once per process and closed when the library unloads; it is
// waited for within the call's budget, and one whose holder died is taken over.
#pragma once

#include <windows.h>

namespace player::link {

class TitleTurn {
public:
    // Waits until `deadline` (a GetTickCount64 value) for the title, taking the thread's
    // sent messages meanwhile. Without the mutex (the name is taken by another kind of
    // object) every turn is granted, as before there was one.
    explicit TitleTurn(ULONGLONG deadline) noexcept;
    ~TitleTurn();
    TitleTurn(const TitleTurn&) = delete;
    TitleTurn& operator=(const TitleTurn&) = delete;

    bool granted() const noexcept { return granted_; }

private:
    HANDLE held_ = nullptr;
    bool granted_ = false;
};

// At unload: closes the process's handle to the mutex.
void closeTitleChannel() noexcept;

} // namespace player::link
