// HostWindow: a window of a host on the calling thread, for the benchmark and the tests:
// what its procedure runs for a message another thread queues for it, as a message of
// another program would be, while the host waits in a call of the plug-in or later.
#pragma once

#include <windows.h>

#include <functional>

namespace tools {

class HostWindow {
public:
    explicit HostWindow(std::function<void()> onQueued);
    ~HostWindow();
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // Queues the message from another thread: the window's thread runs `onQueued` when it
    // next takes the messages sent to it.
    void queueFromAnotherThread() const;
    // Whether `onQueued` has run since it was last queued.
    bool ran() const { return ran_; }
    // Takes the thread's messages until `onQueued` has run.
    void runQueued();

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onQueued_;
    bool ran_ = false;
    HWND window_ = nullptr;
};

} // namespace tools
