#include "PanelLayout.h"

#include <algorithm>

namespace player_panel {

Layout layoutFor(int width, UINT dpi) {
    Layout l;
    l.dpi = dpi == 0 ? kBaseDpi : dpi;
    const int w = std::clamp(width, kMinWidth, kMaxWidth);
    l.width = l.px(w);
    l.height = l.px(kPanelHeight);
    const auto rect = [&l](int left, int top, int right, int bottom) {
        return RECT{l.px(left), l.px(top), l.px(right), l.px(bottom)};
    };
    l.title = rect(10, 6, w - 84, 26);
    l.details = rect(10, 28, w - 84, 46);
    l.time = rect(w - 78, 6, w - 8, 28);
    l.trackSlider = rect(10, 52, w - 10, 64);
    const int top = 72, bottom = 100, size = 28;
    int x = 10;
    for (RECT* button : {&l.prev, &l.playPause, &l.stop, &l.next}) {
        *button = rect(x, top, x + size, bottom);
        x += size + 4;
    }
    x += 8;
    for (RECT* toggle : {&l.shuffle, &l.repeat, &l.mute}) {
        *toggle = rect(x, top, x + size, bottom);
        x += size + 4;
    }
    l.playlist = rect(w - 10 - size, top, w - 10, bottom);
    for (int i = 0; i < 5; ++i)
        l.stars[static_cast<std::size_t>(i)] = rect(10 + i * 22, 106, 10 + i * 22 + 20, 126);
    l.volumeSlider = rect(w - 140, 110, w - 10, 122);
    return l;
}

const RECT& rectOf(const Layout& l, Control control) {
    static const RECT none{};
    switch (control) {
    case Control::Time:
        return l.time;
    case Control::Prev:
        return l.prev;
    case Control::PlayPause:
        return l.playPause;
    case Control::Stop:
        return l.stop;
    case Control::Next:
        return l.next;
    case Control::Shuffle:
        return l.shuffle;
    case Control::Repeat:
        return l.repeat;
    case Control::Mute:
        return l.mute;
    case Control::Playlist:
        return l.playlist;
    case Control::TrackSlider:
        return l.trackSlider;
    case Control::VolumeSlider:
        return l.volumeSlider;
    case Control::Star1:
    case Control::Star2:
    case Control::Star3:
    case Control::Star4:
    case Control::Star5:
        return l
            .stars[static_cast<std::size_t>(static_cast<int>(control) - static_cast<int>(Control::Star1))];
    case Control::None:
        break;
    }
    return none;
}

Control hitTest(const Layout& layout, POINT point) {
    for (int c = static_cast<int>(Control::Time); c <= static_cast<int>(Control::Star5); ++c) {
        RECT r = rectOf(layout, static_cast<Control>(c));
        if (c == static_cast<int>(Control::TrackSlider) || c == static_cast<int>(Control::VolumeSlider))
            InflateRect(&r, 0, layout.px(4)); // a thin slider is easier to hit
        if (PtInRect(&r, point))
            return static_cast<Control>(c);
    }
    return Control::None;
}

POINT centreOf(const Layout& layout, Control control) {
    const RECT& r = rectOf(layout, control);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

long long sliderValue(const RECT& slider, int x, long long low, long long high) {
    const long long span = std::max<long long>(1, slider.right - slider.left);
    const long long offset = std::clamp<long long>(x - slider.left, 0, span);
    return low + (high - low) * offset / span;
}

} // namespace player_panel
