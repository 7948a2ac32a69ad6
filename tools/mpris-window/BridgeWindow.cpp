#include "BridgeWindow.h"

#include "PlayerRemote.h"

#include <algorithm>
#include <cmath>
#include <cwchar>

namespace mpris_window {
namespace {

std::wstring clock(std::int64_t microseconds) {
    const std::int64_t seconds = microseconds / 1'000'000;
    wchar_t text[32];
    swprintf(text, 32, L"%lld:%02lld", static_cast<long long>(seconds / 60),
             static_cast<long long>(seconds % 60));
    return text;
}

int stars(double rating) {
    return static_cast<int>(std::lround(std::clamp(rating, 0.0, 1.0) * 5));
}

} // namespace

std::wstring wide(const std::string& text) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int units = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    std::wstring out(static_cast<std::size_t>(units > 0 ? units : 0), L'\0');
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), units);
    return out;
}

BridgeWindow::~BridgeWindow() {
    if (window_ != nullptr)
        DestroyWindow(window_);
}

void BridgeWindow::take(bridge_wire::Snapshot snapshot, ULONGLONG now) {
    snapshot_ = std::move(snapshot);
    takenAt_ = now;
    if (snapshot_.player.empty()) {
        if (window_ != nullptr)
            DestroyWindow(window_); // no MPRIS player: the plug-in sees none
        window_ = nullptr;
        return;
    }
    if (window_ != nullptr)
        return;
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &BridgeWindow::windowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = PLAYER_REMOTE_WINDOW_CLASS;
    RegisterClassW(&windowClass);
    window_ = CreateWindowExW(0, PLAYER_REMOTE_WINDOW_CLASS, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                              windowClass.hInstance, this);
}

LRESULT CALLBACK BridgeWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    auto* self = reinterpret_cast<BridgeWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self != nullptr && message >= WM_USER && message < WM_APP)
        return self->answer(message, wParam, GetTickCount64());
    return DefWindowProcW(window, message, wParam, lParam);
}

std::int64_t BridgeWindow::positionNow(ULONGLONG now) const {
    std::int64_t position = snapshot_.position.value_or(0);
    // Moved on while it plays; a player that stopped answering is not known to play on.
    if (snapshot_.status == "Playing" && !snapshot_.stale && now > takenAt_)
        position += static_cast<std::int64_t>(static_cast<double>(now - takenAt_) * 1000.0 *
                                              std::clamp(snapshot_.rate, 0.0, 100.0));
    if (snapshot_.length)
        position = std::min(position, *snapshot_.length);
    return std::max<std::int64_t>(position, 0);
}

LRESULT BridgeWindow::text(const std::optional<std::wstring>& value) {
    if (!value || value->empty())
        return 0; // no text: the title is left as it is, as the protocol asks
    SetWindowTextW(window_, value->c_str());
    return 1;
}

bool BridgeWindow::supported(UINT message) const {
    const bridge_wire::Snapshot& s = snapshot_;
    switch (message) {
    case RM_PLAYPAUSE:
        return s.canPlay || s.canPause;
    case RM_PLAY:
        return s.canPlay;
    case RM_PAUSE:
        return s.canPause;
    case RM_STOP:
        return s.canControl;
    case RM_NEXT:
        return s.canNext;
    case RM_PREV:
        return s.canPrevious;
    case RM_QUIT:
        return s.canQuit;
    case RM_SHUFFLE:
    case RM_STATE_SHUFFLE:
        return s.shuffle.has_value() && (message == RM_STATE_SHUFFLE || s.canControl);
    case RM_REPEAT:
    case RM_STATE_REPEAT:
        return !s.loop.empty() && (message == RM_STATE_REPEAT || s.canControl);
    case RM_SETVOLUME:
        return s.volume.has_value() && s.canControl;
    case RM_SEEK:
        return s.canSeek;
    case RM_STATE_PLAYPAUSE:
        return !s.status.empty();
    case RM_STATE_RATING1:
    case RM_STATE_RATING2:
    case RM_STATE_RATING3:
    case RM_STATE_RATING4:
    case RM_STATE_RATING5:
    case RM_GET_RATING:
        return s.rating.has_value();
    case RM_TEXT_TITLE:
    case RM_TEXT_TRACKNAME:
    case RM_TEXT_TIPCAPTION:
        return s.title.has_value();
    case RM_TEXT_ARTIST:
        return s.artist.has_value();
    case RM_TEXT_ALBUM:
        return s.album.has_value();
    case RM_TEXT_GENRE:
        return s.genre.has_value();
    case RM_TEXT_YEAR:
        return s.year.has_value();
    case RM_TEXT_TRACKNUM:
        return s.trackNumber.has_value();
    case RM_TEXT_TRACKLEN:
    case RM_GET_TRACKLENGTH:
        return s.length.has_value();
    case RM_GET_MAXVOLUME:
    case RM_GET_VOLUME:
        return s.volume.has_value();
    case RM_GET_POSITION:
        return s.position.has_value();
    case RM_IS_SUPPORTED:
        return true;
    case RM_PLAYLIST_ITEMTEXT:
    case RM_PLAYLIST_COUNT:
    case RM_PLAYLIST_CURRENT:
    case RM_PLAYLIST_PLAY:
        return s.tracks.has_value();
    default: // mute, eject and ratings set: MPRIS has no way; the reserved numbers
        return false;
    }
}

LRESULT BridgeWindow::answer(UINT message, WPARAM wParam, ULONGLONG now) {
    const bridge_wire::Snapshot& s = snapshot_;
    const auto optionalWide = [](const std::optional<std::string>& value) {
        return value ? std::optional<std::wstring>(wide(*value)) : std::nullopt;
    };
    // "Artist - Title", as hosts show a title line, or the title alone.
    const std::optional<std::wstring> titleLine =
        s.title ? std::optional<std::wstring>(
                      (s.artist && !s.artist->empty() ? wide(*s.artist) + L" - " : L"") + wide(*s.title))
                : std::nullopt;
    const auto post = [this](const std::string& line) { command_(line); };
    const int value = static_cast<int>(static_cast<UINT>(wParam));
    switch (message) {
    case RM_PLAYPAUSE:
        post("playpause");
        return 0;
    case RM_PLAY:
        post("play");
        return 0;
    case RM_PAUSE:
        post("pause");
        return 0;
    case RM_STOP:
        post("stop");
        return 0;
    case RM_NEXT:
        post("next");
        return 0;
    case RM_PREV:
        post("previous");
        return 0;
    case RM_QUIT:
        post("quit");
        return 0;
    case RM_SHUFFLE:
        post("shuffle");
        return 0;
    case RM_REPEAT:
        post("repeat");
        return 0;
    case RM_SETVOLUME:
        post("volume " + std::to_string(std::clamp(value, 0, 100)));
        return 0;
    case RM_SEEK:
        post("seek " + std::to_string(std::max(value, 0)));
        return 0;
    case RM_PLAYLIST_PLAY:
        post("goto " + std::to_string(value));
        return 0;
    case RM_STATE_PLAYPAUSE:
        return s.status == "Playing";
    case RM_STATE_SHUFFLE:
        return s.shuffle.value_or(false);
    case RM_STATE_REPEAT:
        return s.loop == "Track" || s.loop == "Playlist";
    case RM_STATE_RATING1:
    case RM_STATE_RATING2:
    case RM_STATE_RATING3:
    case RM_STATE_RATING4:
    case RM_STATE_RATING5:
        return s.rating && stars(*s.rating) >= static_cast<int>(message - RM_STATE_RATING1) + 1;
    case RM_GET_RATING:
        return s.rating ? stars(*s.rating) : 0;
    case RM_TEXT_TITLE:
        return text(titleLine);
    case RM_TEXT_TRACKNAME:
        return text(optionalWide(s.title));
    case RM_TEXT_ARTIST:
        return text(optionalWide(s.artist));
    case RM_TEXT_ALBUM:
        return text(optionalWide(s.album));
    case RM_TEXT_GENRE:
        return text(optionalWide(s.genre));
    case RM_TEXT_YEAR:
        return text(optionalWide(s.year));
    case RM_TEXT_TRACKNUM:
        return text(s.trackNumber ? std::optional<std::wstring>(std::to_wstring(*s.trackNumber))
                                  : std::nullopt);
    case RM_TEXT_TIPCAPTION: {
        // As the reference player writes it: the title line, the album after it; and
        // whether the player stopped answering, since its texts may no longer hold.
        std::optional<std::wstring> caption = titleLine;
        if (caption && s.album && !s.album->empty())
            *caption += L" (" + wide(*s.album) + L")";
        if (caption && s.stale)
            *caption += L" \u2014 the player does not answer";
        return text(caption);
    }
    case RM_TEXT_TRACKLEN:
        return text(s.length ? std::optional<std::wstring>(clock(*s.length)) : std::nullopt);
    case RM_GET_MAXVOLUME:
        return s.volume ? 100 : 0;
    case RM_GET_VOLUME:
        return s.volume ? static_cast<LRESULT>(std::lround(std::clamp(*s.volume, 0.0, 1.0) * 100)) : 0;
    case RM_GET_TRACKLENGTH:
        return s.length ? static_cast<LRESULT>(std::min<std::int64_t>(*s.length / 1'000'000, INT32_MAX)) : 0;
    case RM_GET_POSITION:
        return s.position
                   ? static_cast<LRESULT>(std::min<std::int64_t>(positionNow(now) / 1'000'000, INT32_MAX))
                   : 0;
    case RM_IS_SUPPORTED:
        return supported(static_cast<UINT>(wParam)) ? 1 : 0;
    case RM_PLAYLIST_COUNT:
        return s.tracks ? static_cast<LRESULT>(std::min<std::size_t>(s.tracks->size(), INT32_MAX)) : 0;
    case RM_PLAYLIST_CURRENT:
        return s.current ? *s.current : -1; // none marked when the player does not say
    case RM_PLAYLIST_ITEMTEXT: {
        // An entry outside the list, or without text, is an empty title: the plug-in
        // reads the title whatever the answer.
        const bool exists = s.tracks && wParam < s.tracks->size();
        const std::wstring entry = exists ? wide((*s.tracks)[wParam]) : L"";
        SetWindowTextW(window_, entry.c_str());
        return exists && !entry.empty() ? 1 : 0;
    }
    default:
        return 0;
    }
}

} // namespace mpris_window
