// Sending one message to the player and waiting for its answer, at most a given time;
// and a marker behind a message left unanswered, whose callback says when the player
// has caught up.
//
// A message that got no answer in time is not taken back: the player handles it when
// it gets to it. To know when that is without asking again, a marker (WM_NULL, which
// every window answers at once) is sent after it with SendMessageCallbackW: the player
// takes up messages in order, so once the marker's callback comes, the player has
// handled the other message too. The callback comes only on the thread that sent the
// marker, while that thread takes its sent messages (in a later call, or in the host's
// own message loop).
//
// While a send waits, Windows runs the calling thread's window procedures for messages
// that other threads and programs send it, unless the send blocks them: a text
// request does, so that nothing of the host runs between the request and the reading
// of its reply.
#pragma once

#include <windows.h>

namespace player::link {

struct SendResult {
    enum class Outcome { Answered, TimedOut, Gone };
    Outcome outcome;
    int answer; // Answered: the player's answer as a signed 32-bit number
};

enum class WhileWaiting { TakeSentMessages, BlockSentMessages };

// Sends and waits up to `milliseconds`, taking the thread's sent messages meanwhile or
// not; a window that Windows counts as hung answers nothing at once. Gone: the window
// or its thread went away.
SendResult sendWithin(HWND window, UINT message, WPARAM wParam, DWORD milliseconds,
                      WhileWaiting whileWaiting) noexcept;

// Queues the marker behind what the window holds; returns its id, or 0 when it could
// not be sent (the window is gone). Its callback reaches silence::replyArrived. Ids
// count up from 1 and are never reused.
ULONG_PTR sendMarker(HWND window) noexcept;

// Takes the messages other threads sent to this one, and so the markers' callbacks
// that arrived for it, without waiting.
void takeSentMessages() noexcept;

} // namespace player::link
