// The playlist menu's entries, drawn by the panel (owner-drawn items): the system
// draws a menu item with the menu font alone, which under Wine shows characters
// beyond the Basic Multilingual Plane (🌙) as boxes, and it takes an '&' in a title
// for a mnemonic. Here the text goes through the panel's own text drawing.
#pragma once

#include <windows.h>

#include <string>

namespace player_panel {

// The room an entry showing `text` takes; texts wider than half the screen end in an
// ellipsis.
SIZE measureMenuEntry(HDC dc, const std::wstring& text);
// Draws the entry `item` describes, its itemData the entry's text (a std::wstring):
// highlighted when selected, ticked when checked.
void paintMenuEntry(const DRAWITEMSTRUCT& item);
// The answer to WM_MENUCHAR in a menu of such entries, as Windows treats the first
// letter of system-drawn items: the one entry whose text begins with `typed` (in
// any case) is chosen; of several, the next after the highlighted one is selected.
LRESULT entryStartingWith(HMENU menu, wchar_t typed);

} // namespace player_panel
