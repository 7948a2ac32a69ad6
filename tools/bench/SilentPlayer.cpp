#include "SilentPlayer.h"

#include "PlayerRemote.h"

namespace bench {

SilentPlayer::SilentPlayer() : thread_(&proc, this) {}

SilentPlayer::~SilentPlayer() {
    delay_ = 0;
    textDelay_ = 0;
    pauseEvery_ = 0;
}

long SilentPlayer::taken(UINT message) const {
    return message >= WM_USER && message < WM_APP ? takenOf_[message - WM_USER].load() : 0;
}

void SilentPlayer::drain() {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(window(), WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
}

LRESULT SilentPlayer::answer(HWND window, UINT message) {
    switch (message) {
    case RM_STATE_PLAYPAUSE:
        return 1;
    case RM_TEXT_TITLE:
        SetWindowTextW(window, L"A title");
        return 1;
    case RM_TEXT_ARTIST:
        SetWindowTextW(window, L"An artist");
        return 1;
    case RM_TEXT_ALBUM:
        SetWindowTextW(window, L"An album");
        return 1;
    case RM_GET_MAXVOLUME:
        return 100;
    case RM_GET_VOLUME:
        return 40;
    case RM_GET_TRACKLENGTH:
        return 200;
    case RM_GET_POSITION:
        return 10;
    case RM_IS_SUPPORTED:
        return offers_ ? 1 : 0;
    case RM_GET_RATING:
        return offers_ ? 3 : 0;
    case RM_PLAYLIST_COUNT:
        return offers_ ? 3 : 0;
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
    const long taken = ++self->taken_;
    ++self->takenOf_[message - WM_USER];
    if (const DWORD stuck = self->stick_.exchange(0))
        Sleep(stuck);
    if (const long nth = self->pauseEvery_; nth > 0 && taken % nth == 0)
        Sleep(self->pause_);
    if (const DWORD delay = self->delay_)
        Sleep(delay);
    if (const DWORD delay = self->textDelay_;
        delay != 0 && message >= RM_TEXT_TITLE && message <= RM_TEXT_TRACKLEN)
        Sleep(delay);
    return self->answer(window, message);
}

} // namespace bench
