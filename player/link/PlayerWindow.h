// PlayerWindow: the player's remote-control window for the length of one export call.
//
// Found afresh at the start of every call and never kept. It is the only code that
// posts, sends or reads the window title. A hung or slow player must not freeze the
// host: the call's budget (kCallBudget) starts when the window is found, and every
// send waits at most what is left of it and what link/Waiting.h allows. A send that
// fails, times out or may not wait leaves no answer, and from then on this object asks
// nothing more. Commands are posted all the same: a silent player carries them out
// when it recovers.
#pragma once

#include <windows.h>

#include <optional>

namespace player::link {

inline constexpr ULONGLONG kCallBudget = 1000; // milliseconds, for all sends of one call

class PlayerWindow {
public:
    static PlayerWindow find() noexcept;
    PlayerWindow(const PlayerWindow&) = delete;
    PlayerWindow& operator=(const PlayerWindow&) = delete;

    // The window exists: posts reach it, and the player is not absent.
    bool found() const noexcept { return window_ != nullptr; }
    // Found, and asked as usual when the call began (not silent, its stretch not spent):
    // what asks nothing may answer for it.
    bool knownAnswering() const noexcept { return window_ != nullptr && !waitsOut_; }
    // It may be asked: found, asked as usual or due to be asked once, and nothing left
    // unanswered in this call.
    bool answering() const noexcept { return window_ != nullptr && mayAsk_; }

    void post(UINT message, WPARAM wParam) noexcept;

    // The player's answer as a signed 32-bit number; none when it is absent, gone,
    // silent, or the call may not wait for it.
    std::optional<int> ask(UINT message, WPARAM wParam = 0) noexcept;

    // The answer, with 0 standing for no answer: for callers to whom both mean "no".
    int send(UINT message, WPARAM wParam = 0) noexcept { return ask(message, wParam).value_or(0); }

    // A text request and its reply, in one turn of the title (link/TitleTurn.h): the
    // answer, and the title copied into buffer (at most capacity - 1 characters and a
    // NUL) when the answer is nonzero or `alwaysRead`. Nothing is written without an
    // answer, or with a capacity below 1.
    std::optional<int> askText(UINT message, WPARAM wParam, wchar_t* buffer, int capacity,
                               bool alwaysRead = false) noexcept;

private:
    PlayerWindow(HWND window, ULONGLONG deadline, bool waitsOut, bool mayAsk) noexcept
        : window_(window), deadline_(deadline), waitsOut_(waitsOut), mayAsk_(mayAsk) {}
    struct Text {
        wchar_t* buffer;
        int capacity;
        bool alwaysRead;
    };
    std::optional<int> exchange(UINT message, WPARAM wParam, const Text* text) noexcept;

    HWND window_;
    ULONGLONG deadline_; // GetTickCount64 value at which the call's budget is spent
    bool waitsOut_;      // silent, or its stretch spent
    bool mayAsk_;
};

} // namespace player::link
