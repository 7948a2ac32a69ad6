#include "RemoteWindow.h"

#include "Console.h"
#include "MessageNames.h"
#include "PlayerRemote.h"

namespace remote_player {
namespace {

constexpr UINT_PTR kTimer = 1;
constexpr UINT kTimerPeriod = 200; // milliseconds

bool isRatingMessage(UINT message) {
    return (message >= RM_RATE0 && message <= RM_RATE5) ||
           (message >= RM_STATE_RATING1 && message <= RM_STATE_RATING5) || message == RM_GET_RATING;
}

bool isPlaylistMessage(UINT message) {
    return message >= RM_PLAYLIST_ITEMTEXT && message <= RM_PLAYLIST_PLAY;
}

bool isProtocolMessage(UINT message) {
    return (message >= RM_PLAYPAUSE && message <= RM_RATE5) ||
           (message >= RM_STATE_PLAYPAUSE && message <= RM_STATE_RATING5) ||
           (message >= RM_TEXT_TITLE && message <= RM_TEXT_TRACKLEN && message != RM_TEXT_RESERVED1 &&
            message != RM_TEXT_RESERVED2) ||
           (message >= RM_GET_MAXVOLUME && message <= RM_GET_POSITION) || message == RM_IS_SUPPORTED ||
           message == RM_GET_RATING || isPlaylistMessage(message);
}

std::wstring minutesAndSeconds(int seconds) {
    wchar_t text[32];
    wsprintfW(text, L"%d:%02d", seconds / 60, seconds % 60);
    return text;
}

} // namespace

RemoteWindow::RemoteWindow(Playback& playback, Options options) : playback_(playback), options_(options) {}

RemoteWindow::~RemoteWindow() {
    if (window_ != nullptr && IsWindow(window_))
        DestroyWindow(window_);
}

bool RemoteWindow::create() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &RemoteWindow::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = PLAYER_REMOTE_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, PLAYER_REMOTE_WINDOW_CLASS, L"Velmora Player", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, windowClass.hInstance, this);
    if (window_ == nullptr)
        return false;
    lastTick_ = GetTickCount64();
    SetTimer(window_, kTimer, kTimerPeriod, nullptr);
    return true;
}

LRESULT CALLBACK RemoteWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<RemoteWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        self->window_ = window;
    }
    auto* self = reinterpret_cast<RemoteWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr) {
        if (message == WM_TIMER && wParam == kTimer) {
            self->tick();
            return 0;
        }
        if (message == WM_DESTROY) {
            KillTimer(window, kTimer);
            PostQuitMessage(0);
            return 0;
        }
        if (message >= WM_USER && message < WM_APP) {
            const bool sent = InSendMessage() != FALSE;
            if (sent && self->options_.pauseEvery != 0 && ++self->taken_ % self->options_.pauseEvery == 0)
                Sleep(1000);
            if (sent && self->options_.answerAfter != 0)
                Sleep(self->options_.answerAfter);
            return self->answer(message, wParam, sent);
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void RemoteWindow::tick() {
    const ULONGLONG now = GetTickCount64();
    playback_.advance(static_cast<std::int64_t>(now - lastTick_));
    lastTick_ = now;
}

bool RemoteWindow::supported(UINT message) const {
    if (!isProtocolMessage(message))
        return false;
    if (isRatingMessage(message))
        return options_.ratings;
    if (isPlaylistMessage(message))
        return options_.playlist;
    return true;
}

LRESULT RemoteWindow::reply(const std::wstring& text) {
    if (text.empty())
        return 0;
    SetWindowTextW(window_, text.c_str());
    return 1;
}

LRESULT RemoteWindow::answer(UINT message, WPARAM wParam, bool sent) {
    tick(); // positions are up to date whenever anyone asks
    LRESULT result = 0;
    const Track* track = playback_.track();
    const auto text = [track](std::wstring Track::*field) { return track ? track->*field : std::wstring(); };
    const long long value = static_cast<long long>(static_cast<int>(wParam));
    if (!supported(message)) {
        result = 0;
    } else {
        switch (message) {
        case RM_PLAYPAUSE:
            playback_.playPause();
            break;
        case RM_PLAY:
            playback_.play();
            break;
        case RM_PAUSE:
            playback_.pause();
            break;
        case RM_STOP:
            playback_.stop();
            break;
        case RM_NEXT:
            playback_.next();
            break;
        case RM_PREV:
            playback_.previous();
            break;
        case RM_MUTE:
            playback_.toggleMute();
            break;
        case RM_QUIT:
            DestroyWindow(window_);
            break;
        case RM_SHUFFLE:
            playback_.toggleShuffle();
            break;
        case RM_REPEAT:
            playback_.toggleRepeat();
            break;
        case RM_EJECT:
            playback_.eject();
            break;
        case RM_SETVOLUME:
            playback_.setVolume(value);
            break;
        case RM_SEEK:
            playback_.seek(value);
            break;
        case RM_RATE0:
        case RM_RATE1:
        case RM_RATE2:
        case RM_RATE3:
        case RM_RATE4:
        case RM_RATE5:
            playback_.rate(static_cast<int>(message - RM_RATE0));
            break;
        case RM_STATE_PLAYPAUSE:
            result = playback_.playing();
            break;
        case RM_STATE_SHUFFLE:
            result = playback_.shuffle();
            break;
        case RM_STATE_REPEAT:
            result = playback_.repeat();
            break;
        case RM_STATE_MUTE:
            result = playback_.muted();
            break;
        case RM_STATE_RATING1:
        case RM_STATE_RATING2:
        case RM_STATE_RATING3:
        case RM_STATE_RATING4:
        case RM_STATE_RATING5:
            result = track && playback_.rating() >= static_cast<int>(message - RM_STATE_PLAYPAUSE - 3);
            break;
        case RM_TEXT_TITLE:
            result = reply(track ? track->displayName() : L"");
            break;
        case RM_TEXT_ALBUM:
            result = reply(text(&Track::album));
            break;
        case RM_TEXT_ARTIST:
            result = reply(text(&Track::artist));
            break;
        case RM_TEXT_TRACKNAME:
            result = reply(text(&Track::title));
            break;
        case RM_TEXT_GENRE:
            result = reply(text(&Track::genre));
            break;
        case RM_TEXT_YEAR:
            result = reply(text(&Track::year));
            break;
        case RM_TEXT_TRACKNUM:
            result = reply(track ? std::to_wstring(playback_.current() + 1) : L"");
            break;
        case RM_TEXT_TIPCAPTION:
            result = reply(track ? track->displayName() +
                                       (track->album.empty() ? L"" : L" (" + track->album + L")")
                                 : L"");
            break;
        case RM_TEXT_TRACKLEN:
            result = reply(track ? minutesAndSeconds(track->seconds) : L"");
            break;
        case RM_GET_MAXVOLUME:
            result = Playback::kMaxVolume;
            break;
        case RM_GET_TRACKLENGTH:
            result = playback_.lengthSeconds();
            break;
        case RM_GET_VOLUME:
            result = playback_.volume();
            break;
        case RM_GET_POSITION:
            result = playback_.positionSeconds();
            break;
        case RM_IS_SUPPORTED:
            result = supported(static_cast<UINT>(wParam));
            break;
        case RM_GET_RATING:
            result = playback_.rating();
            break;
        case RM_PLAYLIST_ITEMTEXT: {
            const bool exists = wParam < playback_.tracks().size();
            SetWindowTextW(window_, exists ? playback_.tracks()[wParam].displayName().c_str() : L"");
            result = exists ? 1 : 0;
            break;
        }
        case RM_PLAYLIST_COUNT:
            result = static_cast<LRESULT>(playback_.tracks().size());
            break;
        case RM_PLAYLIST_CURRENT:
            result = playback_.current();
            break;
        case RM_PLAYLIST_PLAY:
            playback_.playEntry(static_cast<long long>(wParam));
            break;
        default:
            break;
        }
    }
    if (options_.log) {
        wchar_t line[160];
        wsprintfW(line, L"%s %u %s wParam=%d -> %d", sent ? L"sent" : L"posted", message,
                  tools::messageName(message), static_cast<int>(wParam), static_cast<int>(result));
        std::wstring entry = line;
        if (sent && result != 0 && message >= RM_TEXT_TITLE && message <= RM_PLAYLIST_ITEMTEXT &&
            (message <= RM_TEXT_TRACKLEN || message == RM_PLAYLIST_ITEMTEXT)) {
            wchar_t title[512];
            GetWindowTextW(window_, title, 512);
            entry += L" \"" + tools::visible(title) + L"\"";
        }
        tools::printTo(options_.logTo, entry + L"\n");
    }
    return result;
}

} // namespace remote_player
