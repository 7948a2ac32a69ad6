#include "HostWindow.h"

#include <thread>

namespace tools {
namespace {

constexpr wchar_t kClass[] = L"player-tools.host";
constexpr UINT kQueued = WM_APP + 7;

} // namespace

HostWindow::HostWindow(std::function<void()> onQueued) : onQueued_(std::move(onQueued)) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kClass;
    RegisterClassW(&windowClass); // once per process; later ones find it there
    window_ = CreateWindowExW(0, kClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, windowClass.hInstance,
                              nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HostWindow::~HostWindow() {
    DestroyWindow(window_);
}

void HostWindow::queueFromAnotherThread() const {
    const HWND window = window_;
    std::thread([window] { SendNotifyMessageW(window, kQueued, 0, 0); }).join();
}

void HostWindow::runQueued() {
    while (!ran_) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
        if (!ran_)
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    ran_ = false;
}

LRESULT CALLBACK HostWindow::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<HostWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message == kQueued) {
        self->onQueued_();
        self->ran_ = true;
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tools
