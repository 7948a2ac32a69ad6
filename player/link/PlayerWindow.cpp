#include "player/link/PlayerWindow.h"

#include "player/link/Messages.h"

namespace player::link {

PlayerWindow PlayerWindow::find() noexcept {
    return PlayerWindow(FindWindowW(kPlayerWindowClass, nullptr), GetTickCount64() + kCallBudget);
}

void PlayerWindow::post(UINT message, WPARAM wParam) noexcept {
    if (present())
        PostMessageW(window_, message, wParam, 0);
}

std::optional<int> PlayerWindow::ask(UINT message, WPARAM wParam) noexcept {
    if (!present())
        return std::nullopt;
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline_) {
        window_ = nullptr;
        return std::nullopt;
    }
    const ULONGLONG left = deadline_ - now;
    const UINT wait = left < kSendBound ? static_cast<UINT>(left) : kSendBound;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window_, message, wParam, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, wait,
                            &answer) == 0) {
        window_ = nullptr;
        return std::nullopt;
    }
    // The answer is a 32-bit value on the wire, whatever the width of LRESULT.
    return static_cast<int>(static_cast<UINT>(answer));
}

void PlayerWindow::readTitle(wchar_t* buffer, int capacity) noexcept {
    if (!present() || buffer == nullptr || capacity <= 0)
        return;
    buffer[0] = L'\0'; // terminated even if the window went away since its answer
    // The title as the player set it, read without a message: GetWindowTextW would send
    // WM_GETTEXT, and wait on a busy player, when the player's window is in this process.
    InternalGetWindowText(window_, buffer, capacity);
}

} // namespace player::link
