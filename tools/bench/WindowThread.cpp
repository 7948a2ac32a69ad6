#include "WindowThread.h"

#include "PlayerRemote.h"

namespace bench {

WindowThread::WindowThread(WNDPROC proc, void* owner) {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this, proc, owner] { run(proc, owner); });
    WaitForSingleObject(ready_, INFINITE);
}

WindowThread::~WindowThread() {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(ready_);
}

void WindowThread::run(WNDPROC proc, void* owner) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = PLAYER_REMOTE_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, PLAYER_REMOTE_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    SetEvent(ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    UnregisterClassW(PLAYER_REMOTE_WINDOW_CLASS, GetModuleHandleW(nullptr));
}

} // namespace bench
