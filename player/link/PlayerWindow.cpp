#include "player/link/PlayerWindow.h"

#include "player/link/Messages.h"
#include "player/link/Reply.h"
#include "player/link/TitleChannel.h"

namespace player::link {

PlayerWindow PlayerWindow::find() noexcept {
    const HWND window = FindWindowW(kPlayerWindowClass, nullptr);
    const ULONGLONG now = GetTickCount64();
    const silence::Standing standing = window != nullptr
                                           ? silence::standingOf(window, now)
                                           : silence::Standing{static_cast<DWORD>(kCallBudget), false};
    return PlayerWindow(window, now + kCallBudget, standing);
}

PlayerWindow::~PlayerWindow() {
    silence::releaseArrived();
}

void PlayerWindow::post(UINT message, WPARAM wParam) noexcept {
    if (found())
        PostMessageW(window_, message, wParam, 0);
}

DWORD PlayerWindow::allowedFrom(ULONGLONG now) const noexcept {
    if (now >= deadline_)
        return 0;
    const ULONGLONG left = deadline_ - now;
    return left < room_ ? static_cast<DWORD>(left) : room_;
}

std::optional<int> PlayerWindow::ask(UINT message, WPARAM wParam) noexcept {
    if (!answering())
        return std::nullopt;
    const ULONGLONG start = GetTickCount64();
    const DWORD allowed = allowedFrom(start);
    if (allowed == 0) {
        room_ = 0; // the budget is spent: for the rest of this call only
        return std::nullopt;
    }
    const SendResult result = sendWithin(window_, message, wParam, allowed, WhileWaiting::TakeSentMessages);
    return settle(start, allowed, true, result);
}

std::optional<int> PlayerWindow::settle(ULONGLONG start, DWORD allowed, bool sent,
                                        const SendResult& result) noexcept {
    const ULONGLONG end = GetTickCount64();
    // What the host's own window procedures took while the send waited is not the player's.
    const ULONGLONG waited = end - start < allowed ? end - start : allowed;
    // The end of a call's budget cuts a wait short without it being the player's fault
    // only in the budget's last moments (after a long playlist); a longer unanswered wait
    // makes the player silent as its allowance running out does.
    const bool silences = allowed == room_ || waited >= silence::kTrialMilliseconds;
    switch (result.outcome) {
    case SendResult::Outcome::Answered:
        if (waited > silence::kFreeMilliseconds || trial_)
            room_ = silence::settle(window_, end, waited, silence::Outcome::Answered, trial_);
        trial_ = false;
        return result.answer;
    case SendResult::Outcome::TimedOut:
        silence::settle(window_, end, waited,
                        !silences ? silence::Outcome::BudgetSpent
                        : sent    ? silence::Outcome::RoomSpentQueued
                                  : silence::Outcome::RoomSpent,
                        trial_);
        break;
    case SendResult::Outcome::Gone:
        break;
    }
    room_ = 0;
    return std::nullopt;
}

std::optional<int> PlayerWindow::askText(UINT message, WPARAM wParam, wchar_t* buffer, int capacity,
                                         bool alwaysRead) noexcept {
    if (!answering())
        return std::nullopt;
    const ULONGLONG start = GetTickCount64();
    const DWORD allowed = allowedFrom(start);
    if (allowed == 0) {
        room_ = 0;
        return std::nullopt;
    }
    const TitleTurn turn(start + allowed);
    if (turn.refused())
        return std::nullopt; // nested in this thread's own request: no reply of its own to read
    const ULONGLONG taken = GetTickCount64();
    const DWORD left = taken - start < allowed ? static_cast<DWORD>(allowed - (taken - start)) : 0;
    if (!turn.granted() || left == 0) // another program held the title all this time
        return settle(start, allowed, false, SendResult{SendResult::Outcome::TimedOut, 0});
    // No message of the host runs while the turn is held: nothing it does can hold others.
    const SendResult result = sendWithin(window_, message, wParam, left, WhileWaiting::BlockSentMessages);
    const std::optional<int> answer = settle(start, allowed, true, result);
    if (answer && (*answer != 0 || alwaysRead))
        readTitle(buffer, capacity);
    return answer;
}

void PlayerWindow::readTitle(wchar_t* buffer, int capacity) noexcept {
    if (buffer == nullptr || capacity <= 0)
        return;
    buffer[0] = L'\0'; // terminated even if the window went away since its answer
    // The title as the player set it, read without a message: GetWindowTextW would send
    // WM_GETTEXT, and wait on a busy player, when the player's window is in this process.
    InternalGetWindowText(window_, buffer, capacity);
}

} // namespace player::link
