#include "player/link/Reply.h"

#include "player/link/Silence.h"

#include <atomic>

namespace player::link {
namespace {

std::atomic<ULONG_PTR> lastMarker{0};
static_assert(std::atomic<ULONG_PTR>::is_always_lock_free); // no runtime lock behind it, on x86 too

void CALLBACK onMarker(HWND window, UINT, ULONG_PTR id, LRESULT) {
    silence::replyArrived(window, id);
}

} // namespace

void takeSentMessages() noexcept {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

SendResult sendWithin(HWND window, UINT message, WPARAM wParam, DWORD milliseconds,
                      WhileWaiting whileWaiting) noexcept {
    DWORD_PTR answer = 0;
    const UINT flags = SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT |
                       (whileWaiting == WhileWaiting::BlockSentMessages ? SMTO_BLOCK : 0);
    SetLastError(ERROR_SUCCESS);
    if (SendMessageTimeoutW(window, message, wParam, 0, flags, milliseconds,
                            &answer) != 0) // a 32-bit value on the wire, whatever the width of LRESULT
        return {SendResult::Outcome::Answered, static_cast<int>(static_cast<UINT>(answer))};
    const bool timedOut = GetLastError() == ERROR_TIMEOUT && IsWindow(window);
    return {timedOut ? SendResult::Outcome::TimedOut : SendResult::Outcome::Gone, 0};
}

ULONG_PTR sendMarker(HWND window) noexcept {
    // Counting from 1: 0 stands for none, and a count wrapping around would take 2^31
    // markers on x86 (link/ThreadNotes.h keeps one bit less).
    const ULONG_PTR id = ++lastMarker;
    // The library stays loaded for the callback: it may come after the host unloaded it.
    silence::willArriveLate();
    if (SendMessageCallbackW(window, WM_NULL, 0, 0, &onMarker, id))
        return id;
    silence::replyArrived(nullptr, id); // never sent: nothing will come, and the library needs no hold for it
    return 0;
}

} // namespace player::link
