// PanelLayout: where each control of the panel lies, for a given width and the
// window's DPI. Painting, hit-testing, the tooltips and what accessibility clients are
// told all read it, and so can a test that clicks where a user would. Widths and
// sizes are given at 96 DPI (100 %) and scaled to the window's DPI, so the panel is as
// large, and as sharp, at 150 % and 200 % as a system-drawn window.
#pragma once

#include <windows.h>

#include <array>

namespace player_panel {

enum class Control {
    None,
    Time,
    Prev,
    PlayPause,
    Stop,
    Next,
    Shuffle,
    Repeat,
    Mute,
    Playlist,
    TrackSlider,
    VolumeSlider,
    Star1,
    Star2,
    Star3,
    Star4,
    Star5,
};

// At 96 DPI.
inline constexpr int kPanelHeight = 132;
inline constexpr int kDefaultWidth = 360;
inline constexpr int kMinWidth = 300;
inline constexpr int kMaxWidth = 2000;
inline constexpr UINT kBaseDpi = 96;

// The controls in the order Tab moves between them: as they are read, row by row from
// the top, each row from the left.
inline constexpr Control kTabOrder[] = {
    Control::Time,  Control::TrackSlider, Control::Prev,    Control::PlayPause,
    Control::Stop,  Control::Next,        Control::Shuffle, Control::Repeat,
    Control::Mute,  Control::Playlist,    Control::Star1,   Control::Star2,
    Control::Star3, Control::Star4,       Control::Star5,   Control::VolumeSlider,
};

struct Layout {
    UINT dpi = kBaseDpi;
    int width = kDefaultWidth; // in the window's pixels
    int height = kPanelHeight; // in the window's pixels
    RECT title{}, details{}, time{};
    RECT trackSlider{}, volumeSlider{};
    RECT prev{}, playPause{}, stop{}, next{}, shuffle{}, repeat{}, mute{}, playlist{};
    std::array<RECT, 5> stars{};

    // A length at 96 DPI in the window's pixels.
    int px(int length) const { return MulDiv(length, static_cast<int>(dpi), kBaseDpi); }
};

// `width` at 96 DPI (clamped to kMinWidth..kMaxWidth); `dpi` the window's.
Layout layoutFor(int width, UINT dpi = kBaseDpi);
const RECT& rectOf(const Layout& layout, Control control);
Control hitTest(const Layout& layout, POINT point);
// The centre of a control's rectangle: where a click on it lands.
POINT centreOf(const Layout& layout, Control control);
// The value a click at x on a slider from `low` to `high` stands for.
long long sliderValue(const RECT& slider, int x, long long low, long long high);

} // namespace player_panel
