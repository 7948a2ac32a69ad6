// FakePlayer: a scripted stand-in for the player's remote-control window.
//
// A real hidden top-level window of class "VRX_MEDIA_REMOTE" on its own thread with
// its own message loop. It records every message in the WM_USER range that it gets
// (number, wParam, lParam, sent or posted) in order, and answers from a script:
// a constant, a text that it puts into its title before answering (as a player
// does), or any function of wParam. Unscripted messages answer 0. It can hang on a
// message (stop handling messages until released) or destroy its window while
// handling one, answer slowly (every message, or a chosen one, after a delay), and
// pause now and then (busy for a while before a message, recording when).
// sync() waits until every message posted to it before was handled.
#pragma once

#include <windows.h>

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace testing_support {

struct ReceivedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool sent; // false: posted

    bool operator==(const ReceivedMessage&) const = default;
};

ReceivedMessage sent(UINT message, WPARAM wParam = 0);
ReceivedMessage posted(UINT message, WPARAM wParam = 0);
void PrintTo(const ReceivedMessage& m, std::ostream* os);

struct Reply {
    LRESULT value = 0;
    std::optional<std::wstring> title; // set as the window title before answering
};

class FakePlayer {
public:
    FakePlayer();
    ~FakePlayer();
    FakePlayer(const FakePlayer&) = delete;
    FakePlayer& operator=(const FakePlayer&) = delete;

    HWND window() const { return window_; }

    void answer(UINT message, LRESULT value);
    void answerText(UINT message, LRESULT value, std::wstring title);
    void answerWith(UINT message, std::function<Reply(WPARAM)> script);
    void setTitle(const std::wstring& title);

    // The next time `message` arrives (with this wParam, if given), record it and stop
    // handling messages until release().
    void hangOn(UINT message, std::optional<WPARAM> wParam = std::nullopt);
    // The same on the next message of the protocol, whichever it is.
    void hangOnNext() { hangOn(0); }
    void release();
    // True while it is held inside the message of hangOn.
    bool hanging() const { return hanging_; }
    // The next time `message` arrives (with this wParam, if given), record it, destroy
    // the window and answer 0.
    void vanishOn(UINT message, std::optional<WPARAM> wParam = std::nullopt);
    // Answer every message, or only `message`, after sleeping this long (0: at once).
    void delayAll(DWORD milliseconds);
    void delayOn(UINT message, DWORD milliseconds);
    // The next message it takes keeps it busy this long before it is handled; with
    // `every`, so does each `every`-th message after it.
    void pauseNext(DWORD milliseconds, std::size_t every = 0);
    struct Pause {
        ULONGLONG began, ended; // GetTickCount64
    };
    std::vector<Pause> pauses();

    void sync();
    std::vector<ReceivedMessage> messages();
    // How many messages it has taken up so far, without waiting for the rest.
    std::size_t taken();
    void clearMessages();

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void run(HANDLE ready);

    std::mutex mutex_;
    std::map<UINT, std::function<Reply(WPARAM)>> script_;
    std::map<UINT, DWORD> delays_;
    DWORD delayAll_ = 0;
    DWORD pause_ = 0;            // 0: no pause to come
    std::size_t pauseEvery_ = 0; // 0: only once
    std::size_t untilPause_ = 0; // messages to take before the next pause
    std::vector<Pause> pauses_;
    std::vector<ReceivedMessage> log_;
    struct Trigger {
        UINT message;
        std::optional<WPARAM> wParam;
        bool matches(UINT m, WPARAM w) const {
            return (message == 0 || m == message) && (!wParam || *wParam == w);
        }
    };
    std::optional<Trigger> hangOn_;
    std::optional<Trigger> vanishOn_;
    std::atomic<bool> hanging_{false};
    HANDLE released_;
    HANDLE synced_;
    HWND window_ = nullptr;
    DWORD threadId_ = 0;
    std::thread thread_;
};

} // namespace testing_support
