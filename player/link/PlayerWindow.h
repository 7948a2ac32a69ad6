// PlayerWindow: the player's remote-control window for the length of one export call.
//
// Found afresh at the start of every call and never kept. It is the only code that
// posts, sends or reads the window title. A hung or slow player must not freeze the
// host: the call's budget (kCallBudget) starts when the window is found, and every
// send waits at most what is left of it. A send that fails, times out or finds the
// budget spent leaves no answer, and from then on this object asks nothing more.
//
// Across calls, a player whose answer did not come in time is remembered as silent
// (link/Silence.h): the calls that follow find its window but ask it nothing, at once,
// until it has handled what it holds of the library's; then one brief question decides. So a
// host's whole refresh waits on a silent player for about one budget at most, not one
// per call. Commands are posted all the same: a silent player carries them out when
// it recovers.
#pragma once

#include "player/link/Silence.h"

#include <windows.h>

#include <optional>

namespace player::link {

inline constexpr ULONGLONG kCallBudget = 1000; // milliseconds, for all sends of one call

class PlayerWindow {
public:
    static PlayerWindow find() noexcept;
    ~PlayerWindow();
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // The window exists: posts reach it, and the player is not absent.
    bool found() const noexcept { return window_ != nullptr; }
    // It may be asked: found, not known to be silent, and nothing unanswered in this call.
    bool answering() const noexcept { return window_ != nullptr && standing_ != silence::Standing::Silent; }

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
        : window_(window), deadline_(deadline), standing_(standing) {}
    void readTitle(wchar_t* buffer, int capacity) noexcept;

    HWND window_;
    ULONGLONG deadline_; // GetTickCount64 value at which the call's budget is spent
    silence::Standing standing_;
};

} // namespace player::link
