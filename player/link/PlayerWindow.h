// PlayerWindow: the player's remote-control window for the length of one export call.
//
// Found afresh at the start of every call and never kept. It is the only code that
// posts, sends or reads the window title. A hung or slow player must not freeze the
// host: the call's budget (kCallBudget) starts when the window is found, and every
// send waits at most what is left of it, never more than kSendBound. A send that
// fails, times out or finds the budget spent leaves no answer, and from then on this
// object treats the player as gone: sends fail at once, posts are dropped, no title
// is read. So a call waits on the player for about one budget at most in all, plus
// a message the player may already be handling, whatever the player does.
#pragma once

#include <windows.h>

#include <optional>

namespace player::link {

inline constexpr ULONGLONG kCallBudget = 1000; // milliseconds, for all sends of one call
inline constexpr UINT kSendBound = 1000;       // milliseconds, for one send

class PlayerWindow {
public:
    static PlayerWindow find() noexcept;

    bool present() const noexcept { return window_ != nullptr; }

    void post(UINT message, WPARAM wParam) noexcept;

    // The player's answer as a signed 32-bit number; none when the player is absent,
    // gone, hung, or the call's budget is spent.
    std::optional<int> ask(UINT message, WPARAM wParam = 0) noexcept;

    // The answer, with 0 standing for no answer: for callers to whom both mean "no".
    int send(UINT message, WPARAM wParam = 0) noexcept { return ask(message, wParam).value_or(0); }

    // Copies the title into buffer, at most capacity - 1 characters and a NUL, without
    // waiting on the player. Writes nothing when the player is absent or gone, or
    // capacity is below 1.
    void readTitle(wchar_t* buffer, int capacity) noexcept;

private:
    PlayerWindow(HWND window, ULONGLONG deadline) noexcept : window_(window), deadline_(deadline) {}

    HWND window_;
    ULONGLONG deadline_; // GetTickCount64 value at which the call's budget is spent
};

} // namespace player::link
