// PanelLayout: where each control of the panel lies, for a given width. Painting and
// hit-testing both read it, and so can a test that clicks where a user would.
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

inline constexpr int kPanelHeight = 132;
inline constexpr int kDefaultWidth = 360;
inline constexpr int kMinWidth = 300;
inline constexpr int kMaxWidth = 2000;

struct Layout {
    int width = kDefaultWidth;
    RECT title{}, details{}, time{};
    RECT trackSlider{}, volumeSlider{};
    RECT prev{}, playPause{}, stop{}, next{}, shuffle{}, repeat{}, mute{}, playlist{};
    std::array<RECT, 5> stars{};
};

Layout layoutFor(int width);
const RECT& rectOf(const Layout& layout, Control control);
Control hitTest(const Layout& layout, POINT point);
// The centre of a control's rectangle: where a click on it lands.
POINT centreOf(const Layout& layout, Control control);
// The value a click at x on a slider from `low` to `high` stands for.
long long sliderValue(const RECT& slider, int x, long long low, long long high);

} // namespace player_panel
