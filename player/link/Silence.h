// silence: what the library remembers between calls of a player that keeps it
// waiting, and nothing else: per player window, the time waited on it lately.
//
// A host refreshes with a burst of calls. A player that answers every message slowly
// would hold each refresh for seconds, and one that does not answer at all would cost
// a budget per call. So every wait on a window beyond its first kFreeMilliseconds is
// charged to that window, and paid back at a quarter of the time that passes
// (250 ms a second). What is owed may reach kAllowanceMilliseconds: a wait may last
// only as long as the owed time stays within it, and a window whose debt reaches it
// is silent. The calls of every thread then treat it as absent, at once, asking
// nothing, until it has paid back kTrialMilliseconds; then one question, waiting at
// most that long, decides: answered, it is asked as usual.
//
// A message left unanswered stays in the player's queue. Behind it goes a marker
// (link/Reply.h) whose callback says that the player has handled it; until one
// arrives nothing more is asked, so a slow player is never buried under messages.
// The callback comes only to the thread that sent the marker, and only when that
// thread takes its sent messages: so every thread that meets the silence sends one
// marker of its own (WM_NULL, which costs the player nothing) and takes its callback
// at its next call. A worker that met the silence and then waits without taking
// messages keeps no other thread from seeing the player again.
//
// Only windows are kept, never answers: the window is found afresh by every call, so
// a player that quits is absent at once, and a new window owes nothing. Process-wide,
// under one lock; no thread and no handle of its own. A marker's callback comes into
// this library, so it keeps itself loaded (a reference of its own) from the moment a
// marker is sent until its callback has come and a later call has run.
#pragma once

#include <windows.h>

namespace player::link::silence {

inline constexpr ULONGLONG kFreeMilliseconds = 20;       // of every wait: a prompt answer costs nothing
inline constexpr ULONGLONG kAllowanceMilliseconds = 800; // owed at most; then the window is silent
inline constexpr ULONGLONG kRepaidEvery = 4;             // one millisecond paid back every four that pass
inline constexpr ULONGLONG kTrialMilliseconds = 200;     // paid back before a silent window is asked again

struct Standing {
    DWORD room; // how long a call may wait on the window now; 0: silent, ask nothing
    bool trial; // silent until now: its first answer makes it an answering window again
};

// What is known of the window at a call's start (`now`, GetTickCount64). Markers'
// callbacks waiting for this thread are taken first, so that a player that caught up
// is seen at once; a thread without a marker out for the window's silence sends one.
Standing standingOf(HWND window, ULONGLONG now) noexcept;

enum class Outcome {
    Answered,        // the player answered
    BudgetSpent,     // the last moments of the call's budget ended the wait; a message sent stays queued
    RoomSpent,       // the wait ended unanswered, before anything was sent: silent
    RoomSpentQueued, // the wait ended unanswered, and the message sent stays queued: silent
};

// After a wait on the window of `waited` ms that ended at `now`: charges it, and
// returns how long the rest of the call may still wait (0: silent from now on).
DWORD settle(HWND window, ULONGLONG now, ULONGLONG waited, Outcome outcome, bool trial) noexcept;

// A marker sent: its callback will come later, if ever.
void willArriveLate() noexcept;
// The callback of marker `id`, sent to `window`, arrived: the window has handled what
// was before it.
void replyArrived(HWND window, ULONG_PTR id) noexcept;
// At the end of a call: gives back the library's own references that markers no
// longer need.
void releaseArrived() noexcept;

} // namespace player::link::silence
