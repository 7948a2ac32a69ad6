#include "player/link/PlayerWindow.h"

#include "player/link/Messages.h"
#include "player/link/Reply.h"
#include "player/link/TitleChannel.h"

namespace player::link {

PlayerWindow PlayerWindow::find() noexcept {
    const HWND window = FindWindowW(kPlayerWindowClass, nullptr);
    const silence::Standing standing =
        window != nullptr ? silence::standingOf(window) : silence::Standing::Answering;
    return PlayerWindow(window, GetTickCount64() + kCallBudget, standing);
}

PlayerWindow::~PlayerWindow() {
    silence::releaseArrived();
}

void PlayerWindow::post(UINT message, WPARAM wParam) noexcept {
    if (found())
        PostMessageW(window_, message, wParam, 0);
}

std::optional<int> PlayerWindow::ask(UINT message, WPARAM wParam) noexcept {
    if (!answering())
        return std::nullopt;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline_) {
        standing_ = silence::Standing::Silent; // for the rest of this call only
        return std::nullopt;
    }
    const bool trial = standing_ == silence::Standing::Trial;
    const ULONGLONG left = deadline_ - now;
    const ULONGLONG allowed =
        trial && left > silence::kTrialMilliseconds ? silence::kTrialMilliseconds : left;
    const SendResult result = sendWithin(window_, message, wParam, static_cast<DWORD>(allowed));
    switch (result.outcome) {
    case SendResult::Outcome::Answered:
        if (trial)
            silence::markAnswering(window_);
        standing_ = silence::Standing::Answering;
        return result.answer;
    case SendResult::Outcome::TimedOut:
        // Only a wait long enough to matter makes the player silent; a shorter one was the
        // end of this call's budget (a long playlist), and the next call asks as usual.
        if (trial || allowed >= silence::kTrialMilliseconds)
            silence::markSilent(window_, sendMarker(window_));
        break;
    case SendResult::Outcome::Gone:
        break;
    }
    standing_ = silence::Standing::Silent;
    return std::nullopt;
}

std::optional<int> PlayerWindow::askText(UINT message, WPARAM wParam, wchar_t* buffer, int capacity,
                                         bool alwaysRead) noexcept {
    if (!answering())
        return std::nullopt;
    const TitleTurn turn(deadline_);
    if (!turn.granted())
        return std::nullopt; // another program held the title all this call's time
    const std::optional<int> answer = ask(message, wParam);
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
