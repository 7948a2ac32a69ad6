// Waiting: how long the library may wait on a player window, and what it keeps of each
// window between calls to decide it: nothing of the player's answers, only its waits.
//
// A wait of at most kFreeMilliseconds costs nothing and is not kept. A longer one counts
// in full. Counted waits follow each other in a stretch until none has been made for
// kStretchGapMilliseconds; the waits of one stretch may add up to kStretchMilliseconds,
// and once those are spent the calls that follow ask nothing until the stretch is over.
// A wait is begun only while what is left holds the stretch's longest wait so far, and
// twice that beyond as many waits as the window's stretch before had: at a steady pace
// every stretch then makes the same waits, not one more now and then.
// A host refreshing once a second is so held at most 0.8 s a refresh, and a player that
// is merely slow loses the same answers at every refresh: the last ones. A stretch's
// allowance is given back whole after its gap, not bit by bit: a host whose refresh
// took long gets the same allowance at the next one as after a short one. A wait that ends
// without an answer makes the window silent (unless the end of its call's own second cut
// it short): it is asked nothing until no wait was made on it for kStretchGapMilliseconds,
// doubled with each further unanswered wait up to kQuietMostMilliseconds; then one call
// asks it, waiting at most kTrialMilliseconds, and an answer ends the silence.
//
// Process-wide, under one lock; no thread, handle or callback of its own. Windows are
// found afresh by every call, so a player that quits is absent at once, and a new window
// owes nothing.
#pragma once

#include "PlayerRemote.h"

#include <windows.h>

namespace player::link::waiting {

// As PlayerRemote.h tells player authors, and player-host probe judges by.
inline constexpr ULONGLONG kFreeMilliseconds = PLAYER_REMOTE_FREE_MS;
inline constexpr ULONGLONG kStretchMilliseconds = PLAYER_REMOTE_STRETCH_MS;
inline constexpr ULONGLONG kStretchGapMilliseconds = PLAYER_REMOTE_STRETCH_GAP_MS;
inline constexpr ULONGLONG kTrialMilliseconds = PLAYER_REMOTE_TRIAL_MS;
inline constexpr ULONGLONG kQuietMostMilliseconds = PLAYER_REMOTE_QUIET_MOST_MS;

// At a call's start (`now`, GetTickCount64): silent, and whether its trial is due; or
// its stretch spent, so that nothing is asked until the stretch is over.
struct Standing {
    bool silent;
    bool trialDue;
    bool spent;
};
Standing standingOf(HWND window, ULONGLONG now) noexcept;

// Before a send at `now`: how long it may wait (0: make no send), and whether it is the
// silent window's trial (claimed for this send: other calls ask nothing meanwhile).
struct Allowance {
    ULONGLONG milliseconds;
    bool trial;
};
Allowance allowance(HWND window, ULONGLONG now) noexcept;

enum class Outcome {
    Answered,
    Unanswered, // no answer (or the title's turn) within what the wait was allowed
    OutOfTime,  // no answer, the wait cut short by the end of its call's second
};

// After a wait of `waited` ms that ended at `now`.
void settle(HWND window, ULONGLONG now, ULONGLONG waited, Outcome outcome, bool trial) noexcept;

} // namespace player::link::waiting
