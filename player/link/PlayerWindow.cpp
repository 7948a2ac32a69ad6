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
    // What the host's own window procedures took during the wait is counted with it (no
    // send can tell them apart), but never beyond what the send could wait.
    const ULONGLONG took = GetTickCount64() - start;
    return settle(took < allowed ? took : allowed, allowed, result);
}

std::optional<int> PlayerWindow::settle(ULONGLONG waited, DWORD allowed, const SendResult& result) noexcept {
    const ULONGLONG now = GetTickCount64();
    // The end of a call's budget cuts a wait short without it being the player's fault
    // only in the budget's last moments (after a long playlist); a longer unanswered wait
    // makes the player silent as its allowance running out does (a window Windows counts
    // as hung fails at once).
    const bool silences = allowed == room_ || waited >= silence::kTrialMilliseconds;
    switch (result.outcome) {
    case SendResult::Outcome::Answered:
        if (waited > silence::kFreeMilliseconds || trial_)
            room_ = silence::settle(window_, now, waited, silence::Outcome::Answered, trial_);
        trial_ = false;
        return result.answer;
    case SendResult::Outcome::TimedOut:
        silence::settle(window_, now, waited,
                        silences ? silence::Outcome::RoomSpentQueued : silence::Outcome::BudgetSpent, trial_);
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
    // The turn's wait is the player's (its title was busy), the host's own messages apart.
    const ULONGLONG spent = GetTickCount64() - start;
    const ULONGLONG onTurn = spent - (turn.hostMilliseconds() < spent ? turn.hostMilliseconds() : spent);
    if (!turn.granted() || spent >= allowed) { // another program held the title all this time
        const bool allowanceSpent = allowed == room_ && onTurn >= allowed;
        silence::settle(window_, GetTickCount64(), onTurn < allowed ? onTurn : allowed,
                        allowanceSpent ? silence::Outcome::RoomSpent : silence::Outcome::BudgetSpent, trial_);
        room_ = 0;
        return std::nullopt;
    }
    // No message of the host runs while the turn is held: nothing it does can hold others.
    const SendResult result = sendWithin(window_, message, wParam, static_cast<DWORD>(allowed - spent),
                                         WhileWaiting::BlockSentMessages);
    const ULONGLONG waited = onTurn + (GetTickCount64() - start - spent);
    const std::optional<int> answer = settle(waited < allowed ? waited : allowed, allowed, result);
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
