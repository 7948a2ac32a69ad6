// Texts of the panel drawn whole: characters beyond the Basic Multilingual Plane (🌙)
// are drawn with a symbol font through Uniscribe, which maps them, where the DC's
// font and GDI's own font linking cannot (Wine's GDI shows them as boxes); the rest
// is drawn with the DC's font, whose system font links supply CJK and other scripts.
#pragma once

#include <windows.h>

#include <string>

namespace player_panel {

// The width of `text` as drawTextAt draws it with the DC's font.
int textWidth(HDC dc, const std::wstring& text);
// Draws `text` with its left edge at x and its top at y.
void drawTextAt(HDC dc, int x, int y, const std::wstring& text);
// `text`, or as much of it as fits into `room` pixels followed by an ellipsis.
std::wstring fitted(HDC dc, const std::wstring& text, int room);

} // namespace player_panel
