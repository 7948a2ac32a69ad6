// Reads a real menu back item by item, as a user would see it: text, identifier,
// type and state bits, and submenu.
#pragma once

#include <windows.h>
#include <string>
#include <vector>

namespace tools {

struct MenuEntry {
    std::wstring text;
    UINT id = 0;
    UINT type = 0;  // MFT_* bits
    UINT state = 0; // MFS_* bits
    HMENU submenu = nullptr;

    bool separator() const { return (type & MFT_SEPARATOR) != 0; }
    bool checked() const { return (state & MFS_CHECKED) != 0; }
    bool radio() const { return (type & MFT_RADIOCHECK) != 0; }
};

inline std::vector<MenuEntry> readMenu(HMENU menu) {
    std::vector<MenuEntry> entries;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_STRING | MIIM_ID | MIIM_FTYPE | MIIM_STATE | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = 128;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        entries.push_back({text, info.wID, info.fType, info.fState, info.hSubMenu});
    }
    return entries;
}

} // namespace tools
