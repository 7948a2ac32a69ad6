// paintPanel: the whole panel drawn into any device context (the window's, or a
// bitmap's for a picture), from the cached state only. Every control is drawn here,
// icons as shapes: standard controls and symbol fonts do not render everywhere. Every
// length is the layout's, so the panel draws as sharply at 200 % as at 100 %.
#pragma once

#include "PanelLayout.h"
#include "PanelModel.h"

namespace player_panel {

// What the window adds to the player's state: the keyboard's focus, and a slider
// being dragged, whose value follows the pointer before the player has it.
struct PanelView {
    int scrollStep = 0; // moves scrolling texts along; it grows with the scroll timer
    Control focused = Control::None;
    Control dragging = Control::None;
    long long dragValue = 0;
};

void paintPanel(HDC dc, const Layout& layout, const PanelState& state, const PanelView& view = {});

// The texts the panel shows in its two lines and its time, as a person reads them.
std::wstring titleLine(const PanelState& state);
std::wstring detailsLine(const PanelState& state);
std::wstring timeText(const PanelState& state);

} // namespace player_panel
