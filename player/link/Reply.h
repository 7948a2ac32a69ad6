// sendForReply: one message sent to the player and its answer waited for, at most a
// given time, with the answer coming back through a callback of the system's
// (SendMessageCallbackW) rather than through a blocked send.
//
// The difference matters once the wait is over: a message that got no answer in time
// stays in the player's queue, and its callback still tells this library when the
// player has handled it (silence::replyArrived). That is how the library knows that a
// silent player has caught up, without sending it anything more. The callback comes
// only on the thread that sent the message, while that thread takes its sent messages
// (here, or in the host's own message loop).
#pragma once

#include <windows.h>

namespace player::link {

struct SendResult {
    enum class Outcome { Answered, TimedOut, Gone };
    Outcome outcome;
    int answer;          // Answered: the player's answer as a signed 32-bit number
    ULONG_PTR pendingId; // TimedOut: the message left in the player's queue
};

// Sends and waits up to `milliseconds`, taking the thread's sent messages meanwhile
// as a blocked send would. Gone: the window was destroyed, or nothing could be sent.
SendResult sendForReply(HWND window, UINT message, WPARAM wParam, DWORD milliseconds) noexcept;

// Takes the messages other threads sent to this one, and so the late answers that
// arrived for it, without waiting.
void takeSentMessages() noexcept;

} // namespace player::link
