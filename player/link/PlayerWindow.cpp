#include "player/link/PlayerWindow.h"

#include "player/link/messages.h"

namespace player::link {

PlayerWindow PlayerWindow::find() noexcept {
    return PlayerWindow(FindWindowW(kPlayerWindowClass, nullptr));
}

void PlayerWindow::post(UINT message, WPARAM wParam) noexcept {
    if (present())
        PostMessageW(window_, message, wParam, 0);
}

int PlayerWindow::send(UINT message, WPARAM wParam) noexcept {
    if (!present())
        return 0;
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window_, message, wParam, 0, SMTO_ABORTIFHUNG | SMTO_ERRORONEXIT, kSendBound,
                            &answer) == 0) {
        window_ = nullptr;
        return 0;
    }
    return static_cast<int>(answer);
}

void PlayerWindow::readTitle(wchar_t* buffer, int capacity) noexcept {
    if (!present() || buffer == nullptr || capacity <= 0)
        return;
    buffer[0] = L'\0'; // terminated even if the window went away since its answer
    GetWindowTextW(window_, buffer, capacity);
}

} // namespace player::link
