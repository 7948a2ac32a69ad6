// ThreadNotes: the two things the library notes about each host thread, in one
// thread-local slot of its own: the silence it has a marker out for (link/Silence.h),
// and whether it is between a text request and the reading of its reply
// (link/TitleChannel.h). A new thread starts with neither, even one whose id a thread
// that ended had, which is why a thread id is no key for them.
#pragma once

#include <windows.h>

namespace player::link::threadNotes {

// The silence (its first marker's id) whose marker this thread sent; 0: none.
ULONG_PTR markerSentFor() noexcept;
void noteMarkerSentFor(ULONG_PTR silence) noexcept;

bool insideTextRequest() noexcept;
void noteInsideTextRequest(bool inside) noexcept;

// At unload: gives the slot back.
void release() noexcept;

} // namespace player::link::threadNotes
