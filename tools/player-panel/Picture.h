// Pictures of the panel: drawn through WM_PRINTCLIENT into a 32-bit DIB section and
// written as PNG (or BMP, JPEG, TIFF) with WIC, a system component; and read back,
// for tests.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace player_panel {

// Whether a picture can be written in the format a path's extension names: .png, .bmp,
// .jpg or .jpeg, .tif or .tiff (case aside).
bool pictureFormatKnown(const std::wstring& path);

// The window's client area, `width` x `height`, as a file in the format its extension
// names (pictureFormatKnown); on failure false and `error` in words.
bool savePicture(HWND window, int width, int height, const std::wstring& path, std::wstring& error);
// What the screen shows within `area`, read back from the display, as such a file.
bool savePicture(HWND screen, const RECT& area, const std::wstring& path, std::wstring& error);

struct Picture {
    UINT width = 0;
    UINT height = 0;
    std::vector<std::uint32_t> pixels; // BGRA, row by row from the top
    std::uint32_t at(UINT x, UINT y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// `picture` as a file in the format its extension names, opaque; on failure false and
// `error` in words.
bool writePicture(const Picture& picture, const std::wstring& path, std::wstring& error);

// A PNG file decoded; empty (width 0) when it cannot be read.
Picture loadPicture(const std::wstring& path);

} // namespace player_panel
