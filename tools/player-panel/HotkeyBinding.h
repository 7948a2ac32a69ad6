// A hotkey as a user writes it in the panel's INI file: modifiers and one key joined
// by '+', e.g. "Ctrl+Alt+P", "Shift+F8", "MediaPlayPause".
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace player_panel {

struct HotkeyBinding {
    UINT modifiers; // MOD_CONTROL, MOD_ALT, MOD_SHIFT, MOD_WIN
    UINT key;       // a virtual-key code
};

std::optional<HotkeyBinding> parseHotkey(const std::wstring& text);

} // namespace player_panel
