// paintPanel: the whole panel drawn into any device context (the window's, or a
// bitmap's for a picture), from the cached state only. Every control is drawn here,
// icons as shapes: standard controls and symbol fonts do not render everywhere.
#pragma once

#include "PanelLayout.h"
#include "PanelModel.h"

namespace player_panel {

// `scrollStep` moves scrolling texts along; it grows with the scroll timer.
void paintPanel(HDC dc, const Layout& layout, const PanelState& state, int scrollStep);

} // namespace player_panel
