// PlayerWindow: the player's remote-control window for the length of one export call.
//
// Found afresh at the start of every call and never kept. It is the only code that
// posts, sends or reads the window title. A hung or slow player must not freeze the
// host: the call's budget (kCallBudget) starts when the window is found, and every
// send waits at most what is left of it. A send that fails, times out or finds the
// budget spent leaves no answer, and from then on this object asks nothing more.
//
// Across calls, the time waited on the window is charged to it (link/Silence.h): a
// wait may last only while the window's debt stays within its allowance, and a window
// whose debt reaches it is silent: the calls that follow find it but ask it nothing,
// at once, until it has paid back enough; then one brief question decides. So a
// host's whole refresh waits on a slow or silent player for about one allowance at
// most, whatever its pace. Commands are posted all the same: a silent player carries
// them out when it recovers.
#pragma once

#include "player/link/Silence.h"

#include <windows.h>

#include <optional>

namespace player::link {

inline constexpr ULONGLONG kCallBudget = 1000; // milliseconds, for all sends of one call

struct SendResult;

class PlayerWindow {
public:
    static PlayerWindow find() noexcept;
    ~PlayerWindow();
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // The window exists: posts reach it, and the player is not absent.
    bool found() const noexcept { return window_ != nullptr; }
    // It may be asked: found, not silent, and nothing unanswered in this call.
    bool answering() const noexcept { return window_ != nullptr && room_ != 0; }

    void post(UINT message, WPARAM wParam) noexcept;

    // The player's answer as a signed 32-bit number; none when it is absent, gone,
    // silent, or the call's budget is spent.
    std::optional<int> ask(UINT message, WPARAM wParam = 0) noexcept;

    // The answer, with 0 standing for no answer: for callers to whom both mean "no".
    int send(UINT message, WPARAM wParam = 0) noexcept { return ask(message, wParam).value_or(0); }

    // A text request and its reply, in one turn of the title (link/TitleChannel.h): the
    // answer, and the title copied into buffer (at most capacity - 1 characters and a
    // NUL) when the answer is nonzero or `alwaysRead`. Nothing is written without an
    // answer, or with a capacity below 1.
    std::optional<int> askText(UINT message, WPARAM wParam, wchar_t* buffer, int capacity,
                               bool alwaysRead = false) noexcept;

private:
    PlayerWindow(HWND window, ULONGLONG deadline, silence::Standing standing) noexcept
        : window_(window), deadline_(deadline), room_(standing.room), trial_(standing.trial) {}
    // How long a wait beginning at `now` may last: what is left of the budget and of the
    // window's allowance; 0 when the budget is spent.
    DWORD allowedFrom(ULONGLONG now) const noexcept;
    // Charges a send that waited `waited` of the `allowed` it could; returns the answer.
    std::optional<int> settle(ULONGLONG waited, DWORD allowed, const SendResult& result) noexcept;
    void readTitle(wchar_t* buffer, int capacity) noexcept;

    HWND window_;
    ULONGLONG deadline_; // GetTickCount64 value at which the call's budget is spent
    DWORD room_;         // how long this call may still wait on the window; 0: ask nothing more
    bool trial_;         // its first answer makes a silent window an answering one again
};

} // namespace player::link
