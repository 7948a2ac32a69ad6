// silence: what the library remembers between calls of a player that stopped
// answering, and nothing else.
//
// A host refreshes with a burst of calls; against a silent player each would cost a
// whole budget. So a window whose answer did not come in time is remembered, with the
// marker the library sent after the unanswered message (link/Reply.h). While the
// marker waits in the player's queue, the calls of every thread treat the window as
// absent at once and send it nothing, so a slow player is never buried under messages.
// Once the player has handled it (its callback arrives), the next call asks once more,
// briefly; an answer makes the window an answering one again. Only a window's silence
// is kept: the window itself is found afresh by every call, so a player that quits is
// absent at once, and a new window is asked as usual.
//
// The marker's callback comes into this library, so the library keeps itself loaded
// (a reference of its own) from the moment a marker is sent until its callback has
// come and a later call has run: a host may unload it at any time. Process-wide, under
// one lock; no thread and no handle of its own.
#pragma once

#include <windows.h>

namespace player::link::silence {

// How long a silent player's trial may wait, and how long a send must have waited
// without an answer before its player counts as silent: a shorter wait was only the
// end of a call's budget.
inline constexpr DWORD kTrialMilliseconds = 200;

enum class Standing {
    Answering, // asked as usual
    Trial,     // silent, but it has handled the library's last message: one brief question
    Silent,    // silent, with the library's marker in its queue: nothing is asked
};

// What is known of the window at a call's start. Late answers waiting for this thread
// are taken first, so that a player that caught up is seen at once.
Standing standingOf(HWND window) noexcept;
// The window did not answer in time; `pendingId` is the marker now in its queue, or 0.
void markSilent(HWND window, ULONG_PTR pendingId) noexcept;
// The window answered a trial: it is asked as usual again.
void markAnswering(HWND window) noexcept;

// A marker sent: its callback will come later, if ever.
void willArriveLate(ULONG_PTR id) noexcept;
// The callback of marker `id` arrived: the player has handled what was before it.
void replyArrived(ULONG_PTR id) noexcept;
// At the end of a call: gives back the library's own references that markers no
// longer need.
void releaseArrived() noexcept;

} // namespace player::link::silence
