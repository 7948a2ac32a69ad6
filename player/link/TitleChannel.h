// TitleChannel: the player's one window title, shared by every program that asks it
// for texts. A text request and the reading of its reply from the title are one step
// for every instance of the library in the user's session, and for any other program
// that takes the title's turn (PLAYER_REMOTE_REPLY_LOCK in PlayerRemote.h): otherwise
// two hosts asking at once read each other's replies.
//
// The turn is a word in shared memory, taken and given back without a call into the
// system: a named mutex costs two round trips to Wine's server, about a third of a
// text request. The shared memory is opened once per process and closed when the
// library unloads; a turn held by another is waited for until a deadline, and one
// whose holder ended is taken over. The turn is held only for a send that lets no
// message of the host run (link/Reply.h) and the reading of the title: nothing the host
// does can keep it longer.
#pragma once

#include "PlayerRemote.h"

#include <windows.h>

namespace player::link {

class TitleTurn {
public:
    // Waits until `deadline` (a GetTickCount64 value) for the title, taking the thread's
    // sent messages meanwhile. Without the shared memory every turn is granted, as
    // before there were turns. A request made while this thread is between its own
    // request and reply (a player window of this thread that calls the library) is
    // refused: it could only read the other's reply, or give the other its own.
    explicit TitleTurn(ULONGLONG deadline) noexcept;
    ~TitleTurn();
    TitleTurn(const TitleTurn&) = delete;
    TitleTurn& operator=(const TitleTurn&) = delete;

    bool granted() const noexcept { return granted_; }
    bool refused() const noexcept { return refused_; }
    // What the host's own window procedures took while the turn was waited for: the
    // host's time, not the player's.
    ULONGLONG hostMilliseconds() const noexcept { return hostMilliseconds_; }

private:
    PlayerRemoteTurn* turn_;
    bool granted_ = false;
    bool refused_ = false;
    ULONGLONG hostMilliseconds_ = 0;
};

// At unload: closes the process's handle to the shared memory.
void closeTitleChannel() noexcept;

} // namespace player::link
