// PlayerWindow: the player's remote-control window for the length of one export call.
//
// Found afresh at the start of every call and never kept. It is the only code that
// posts, sends or reads the window title. A hung player must not freeze the host:
// every send is bounded (kSendBound). A send that fails or runs out reads as the
// answer 0, as if the window had gone, and from then on this object treats the
// player as gone: sends answer 0 at once, posts are dropped, no title is read. So
// no call waits much more than one bound on a player, whatever it does.
#pragma once

#include <windows.h>

namespace player::link {

inline constexpr UINT kSendBound = 1000; // milliseconds

class PlayerWindow {
public:
    static PlayerWindow find() noexcept;

    bool present() const noexcept { return window_ != nullptr; }

    void post(UINT message, WPARAM wParam) noexcept;

    // The player's answer as a signed 32-bit number; 0 when absent, gone or hung.
    int send(UINT message, WPARAM wParam = 0) noexcept;

    // Copies the title into buffer, at most capacity - 1 characters and a NUL.
    // Writes nothing when the player is absent or gone, or capacity is below 1.
    void readTitle(wchar_t* buffer, int capacity) noexcept;

private:
    explicit PlayerWindow(HWND window) noexcept : window_(window) {}

    HWND window_;
};

} // namespace player::link
