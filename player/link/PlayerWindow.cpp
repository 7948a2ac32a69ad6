#include "player/link/PlayerWindow.h"

#include "player/link/Messages.h"
#include "player/link/TitleTurn.h"
#include "player/link/Waiting.h"

namespace player::link {
namespace {

enum class Sent { Answered, TimedOut, Gone };

// Sends and waits up to `milliseconds`. While it waits, Windows runs this thread's
// window procedures for messages that others send it, unless `block`: then nothing of
// the host runs between a text request and the reading of its reply. A window Windows
// counts as hung answers nothing, at once, and gets no message queued. Gone: the window
// or its thread went away.
Sent sendWithin(HWND window, UINT message, WPARAM wParam, ULONGLONG milliseconds, bool block,
                int& answer) noexcept {
    DWORD_PTR result = 0;
    const UINT flags = SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT | (block ? SMTO_BLOCK : 0);
    SetLastError(ERROR_SUCCESS);
    if (SendMessageTimeoutW(window, message, wParam, 0, flags, static_cast<UINT>(milliseconds), &result) !=
        0) {
        answer = static_cast<int>(static_cast<UINT>(result)); // 32 bits on the wire, whatever LRESULT's width
        return Sent::Answered;
    }
    return GetLastError() == ERROR_TIMEOUT && IsWindow(window) ? Sent::TimedOut : Sent::Gone;
}

} // namespace

PlayerWindow PlayerWindow::find() noexcept {
    const HWND window = FindWindowW(kPlayerWindowClass, nullptr);
    const ULONGLONG now = GetTickCount64();
    if (window == nullptr)
        return PlayerWindow(nullptr, now, false, false);
    const waiting::Standing standing = waiting::standingOf(window, now);
    const bool waitsOut = standing.silent || standing.spent; // not asked now
    return PlayerWindow(window, now + kCallBudget, waitsOut, standing.trialDue || !waitsOut);
}

void PlayerWindow::post(UINT message, WPARAM wParam) noexcept {
    if (found())
        PostMessageW(window_, message, wParam, 0);
}

std::optional<int> PlayerWindow::ask(UINT message, WPARAM wParam) noexcept {
    return exchange(message, wParam, nullptr);
}

std::optional<int> PlayerWindow::askText(UINT message, WPARAM wParam, wchar_t* buffer, int capacity,
                                         bool alwaysRead) noexcept {
    const Text text{buffer, capacity, alwaysRead};
    return exchange(message, wParam, &text);
}

std::optional<int> PlayerWindow::exchange(UINT message, WPARAM wParam, const Text* text) noexcept {
    if (!answering() || (text != nullptr && TitleTurn::heldByThisThread()))
        return std::nullopt;
    const ULONGLONG start = GetTickCount64();
    const waiting::Allowance allowed =
        start < deadline_ ? waiting::allowance(window_, start) : waiting::Allowance{0, false};
    if (allowed.milliseconds == 0) {
        mayAsk_ = false;
        return std::nullopt;
    }
    const ULONGLONG left = deadline_ - start;
    const bool callCuts = left < allowed.milliseconds;
    const ULONGLONG limit = callCuts ? left : allowed.milliseconds;

    // A text request waits for the title's turn within the same limit, and holds it until
    // its reply is read; the host's own window procedures meanwhile are not the player's.
    std::optional<TitleTurn> turn;
    ULONGLONG used = 0, hostTime = 0;
    if (text != nullptr) {
        turn.emplace(start + limit);
        hostTime = turn->hostMilliseconds();
        used = GetTickCount64() - start;
    }
    int answer = 0;
    Sent sent = Sent::TimedOut;
    if ((!turn || turn->granted()) && used < limit)
        sent = sendWithin(window_, message, wParam, limit - used, text != nullptr, answer);
    const ULONGLONG now = GetTickCount64();
    const ULONGLONG took = now - start - (hostTime < now - start ? hostTime : now - start);
    const ULONGLONG waited = took < limit ? took : limit;
    if (sent == Sent::Answered) {
        waiting::settle(window_, now, waited, waiting::Outcome::Answered, allowed.trial);
        if (text != nullptr && text->buffer != nullptr && text->capacity > 0 &&
            (answer != 0 || text->alwaysRead)) {
            text->buffer[0] = L'\0'; // terminated even if the window went away since its answer
            // The title as the player set it, read without a message: GetWindowTextW would
            // send WM_GETTEXT, and wait on a busy player, when its window is in this process.
            InternalGetWindowText(window_, text->buffer, text->capacity);
        }
        return answer;
    }
    if (sent == Sent::TimedOut)
        waiting::settle(window_, now, waited,
                        callCuts ? waiting::Outcome::OutOfTime : waiting::Outcome::Unanswered, allowed.trial);
    mayAsk_ = false;
    return std::nullopt;
}

} // namespace player::link
