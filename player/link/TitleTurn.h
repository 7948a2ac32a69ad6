// TitleTurn: the player's one window title, shared by every program that asks it for
// texts. A text request and the reading of its reply from the title are one step for
// every instance of the library in the user's session, and for any other program that
// takes the title's turn (PlayerRemote.h): otherwise two hosts asking at once read each
// other's replies.
//
// The turn is a word in shared memory, taken and given back without a call into the
// system, opened once per process and closed when the library unloads. When the shared
// memory cannot be had (its name taken by an object of another kind), a word of this
// process stands in for it: the host's own threads still read their own replies, other
// programs' texts are then not kept apart from this host's. A turn held by another is
// waited for until a deadline; one whose holder ended is taken over. The turn is held
// only for a send that lets no message of the host run and the reading of the title.
#pragma once

#include "PlayerRemote.h"

#include <windows.h>

namespace player::link {

class TitleTurn {
public:
    // This thread holds the turn already: a player window of this thread that calls the
    // library while it answers a request. A request made then could only read the
    // other's reply, or give the other its own.
    static bool heldByThisThread() noexcept;

    // Waits until `deadline` (a GetTickCount64 value) for the title, taking the thread's
    // sent messages meanwhile.
    explicit TitleTurn(ULONGLONG deadline) noexcept;
    ~TitleTurn();
    TitleTurn(const TitleTurn&) = delete;
    TitleTurn& operator=(const TitleTurn&) = delete;

    bool granted() const noexcept { return granted_; }
    // What the host's own window procedures took while the turn was waited for: the
    // host's time, not the player's.
    ULONGLONG hostMilliseconds() const noexcept { return hostMilliseconds_; }

private:
    PlayerRemoteTurn* turn_;
    bool granted_ = false;
    ULONGLONG hostMilliseconds_ = 0;
};

// At unload: closes the process's handle to the shared memory.
void closeTitleTurn() noexcept;

} // namespace player::link
