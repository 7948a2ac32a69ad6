#include "SilentPlayer.h"

#include "PlayerRemote.h"

namespace bench {

SilentPlayer::SilentPlayer() {
    ready_ = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    thread_ = std::thread([this] { run(); });
    WaitForSingleObject(ready_, INFINITE);
}

SilentPlayer::~SilentPlayer() {
    delay_ = 0;
    PostMessageW(window_, WM_CLOSE, 0, 0);
    thread_.join();
    CloseHandle(ready_);
}

void SilentPlayer::drain() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window_, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
}

LRESULT SilentPlayer::answer(UINT message) {
    switch (message) {
    case RM_STATE_PLAYPAUSE:
        return 1;
    case RM_TEXT_TITLE:
        SetWindowTextW(window_, L"A title");
        return 1;
    case RM_TEXT_ARTIST:
        SetWindowTextW(window_, L"An artist");
        return 1;
    case RM_TEXT_ALBUM:
        SetWindowTextW(window_, L"An album");
        return 1;
    case RM_GET_MAXVOLUME:
        return 100;
    case RM_GET_VOLUME:
        return 40;
    case RM_GET_TRACKLENGTH:
        return 200;
    case RM_GET_POSITION:
        return 10;
    default:
        return 0;
    }
}

LRESULT CALLBACK SilentPlayer::proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<SilentPlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr || message < WM_USER || message >= WM_APP) {
        if (message == WM_DESTROY)
            PostQuitMessage(0);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    ++self->taken_;
    if (const DWORD stuck = self->stick_.exchange(0))
        Sleep(stuck);
    if (const DWORD delay = self->delay_)
        Sleep(delay);
    return self->answer(message);
}

void SilentPlayer::run() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &proc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = PLAYER_REMOTE_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, PLAYER_REMOTE_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              windowClass.hInstance, nullptr);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetEvent(ready_);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    UnregisterClassW(PLAYER_REMOTE_WINDOW_CLASS, GetModuleHandleW(nullptr));
}

} // namespace bench
