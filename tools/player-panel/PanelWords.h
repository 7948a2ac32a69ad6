// PanelWords: what each control of the panel is called, its key, its value and what
// pressing it does, in the words the tooltips and accessibility clients use.
#pragma once

#include "PanelAccessible.h"
#include "PanelLayout.h"
#include "PanelModel.h"

#include <windows.h>

#include <string>

namespace player_panel {

// The keys that press a control while the panel has the keyboard: a letter, which its
// tooltip names, and a media key (0: none).
struct ControlKey {
    Control control;
    wchar_t letter;
    WORD mediaKey;
};
inline constexpr ControlKey kControlKeys[] = {
    {Control::PlayPause, L'P', VK_MEDIA_PLAY_PAUSE},
    {Control::Next, L'N', VK_MEDIA_NEXT_TRACK},
    {Control::Prev, L'B', VK_MEDIA_PREV_TRACK},
    {Control::Stop, L'S', VK_MEDIA_STOP},
    {Control::Mute, L'M', VK_VOLUME_MUTE},
    {Control::Playlist, L'L', 0},
    {Control::Shuffle, L'H', 0},
    {Control::Repeat, L'R', 0},
    {Control::Time, L'T', 0},
    {Control::Star1, L'1', 0},
    {Control::Star2, L'2', 0},
    {Control::Star3, L'3', 0},
    {Control::Star4, L'4', 0},
    {Control::Star5, L'5', 0},
};

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
