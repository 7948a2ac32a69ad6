// PanelWords: what each control of the panel is called, its key, its value and what
// pressing it does, in the words the tooltips and accessibility clients use.
#pragma once

#include "PanelAccessible.h"
#include "PanelLayout.h"
#include "PanelModel.h"

#include <string>

namespace player_panel {

struct ControlWords {
    std::wstring name;
    std::wstring keys;   // empty: none
    std::wstring action; // what pressing it does; empty for a slider
};
ControlWords wordsFor(Control control, const PanelState& state);

// The tooltip of a control: its name and its key.
std::wstring tooltipFor(Control control, const PanelState& state);

// A control as an accessibility client sees it.
ElementFacts describe(Control control, const PanelState& state, const Layout& layout, bool focused);
// The two lines of text, as accessibility clients read them.
ElementFacts describeLine(bool title, const PanelState& state, const Layout& layout);

} // namespace player_panel
