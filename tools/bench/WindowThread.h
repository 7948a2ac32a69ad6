// WindowThread: a window of the player's class in the benchmark's own process, on a
// thread of its own, so that the plug-in's sends cross threads as they cross processes.
// The window's data is the owner; its procedure must quit the loop on WM_DESTROY.
#pragma once

#include <windows.h>

#include <thread>

namespace bench {

class WindowThread {
public:
    WindowThread(WNDPROC proc, void* owner);
    // Closes the window and waits for its thread.
    ~WindowThread();
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;

    HWND window() const { return window_; }

private:
    void run(WNDPROC proc, void* owner);

    HANDLE ready_ = nullptr;
    HWND window_ = nullptr;
    std::thread thread_;
};

} // namespace bench
