// Texts of the panel drawn whole: characters beyond the Basic Multilingual Plane (🌙)
// are drawn with a symbol font through Uniscribe, which maps them, where the DC's
// font and GDI's own font linking cannot (Wine's GDI shows them as boxes); the rest
// is drawn with the DC's font, whose system font links supply CJK and other scripts.
// Text is composed (Unicode NFC) first, so that a letter and its marks are one
// character wherever Unicode has one (a decomposed "e" and acute is "é"); the marks
// left over (a tone mark over a dotted vowel, "ọ̀") are drawn by GDI over their letter.
#pragma once

#include <windows.h>

#include <string>

namespace player_panel {

// The panel's font at a height in pixels (already at the window's DPI): Windows' UI
// font Tahoma, whose font links supply other scripts.
HFONT panelFont(int height, int weight);

// The width of `text` as drawTextAt draws it with the DC's font.
int textWidth(HDC dc, const std::wstring& text);
// Draws `text` with its left edge at x and its top at y.
void drawTextAt(HDC dc, int x, int y, const std::wstring& text);
// `text`, or as much of it as fits into `room` pixels followed by an ellipsis.
std::wstring fitted(HDC dc, const std::wstring& text, int room);

} // namespace player_panel
