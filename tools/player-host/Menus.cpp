#include "Menus.h"

#include "Console.h"
#include "MenuReader.h"

#include <vector>

namespace player_host {
namespace {

using tools::print;

constexpr UINT kFirstId = 1000;

void printMenu(HMENU menu, const std::wstring& indent) {
    for (const tools::MenuEntry& entry : tools::readMenu(menu)) {
        if (entry.separator()) {
            print(indent + L"  \u2500\u2500\u2500\u2500\u2500\u2500\u2500\u2500\n");
            continue;
        }
        const std::wstring mark = entry.radio()   ? (entry.checked() ? L"(\u2022)" : L"( )")
                                  : entry.submenu ? L"   "
                                                  : (entry.checked() ? L"[x]" : L"[ ]");
        wchar_t item[16] = L"     ";
        if (!entry.submenu)
            wsprintfW(item, L"k=%-3d", static_cast<int>(entry.id - kFirstId));
        print(indent + L"  " + item + mark + L" " + entry.text + (entry.submenu ? L" \u25B8" : L"") + L"\n");
        if (entry.submenu)
            printMenu(entry.submenu, indent + L"         ");
    }
}

} // namespace

void printContextMenu(const Host& host) {
    HMENU menu = CreatePopupMenu();
    const int inserted = host.plugin().queryCtxMenu(host.instance(), menu, 0, kFirstId);
    print(L"Context menu (" + std::to_wstring(inserted) + L" items from the plug-in; choose with: menu K)\n");
    printMenu(menu, L"");
    DestroyMenu(menu);
}

void printPlaylist(const Host& host) {
    PlaylistMenuItem* items = host.plugin().queryMenu(host.instance(), L"*playlist");
    if (items == nullptr) {
        print(L"(no playlist)\n");
        return;
    }
    for (const PlaylistMenuItem* item = items; item->id != 0; ++item) {
        const bool current = item->flags == PLAYER_PLAYLIST_FLAG_CURRENT;
        wchar_t number[16];
        wsprintfW(number, L"%3d. ", item->id);
        print((current ? L"\u25B6 " : L"  ") + std::wstring(number) + item->text + L"\n");
    }
    host.plugin().freeMenu(host.instance(), L"*playlist", items);
}

void printHotkeys(const tools::PluginLibrary& plugin) {
    const int count = plugin.getHotkeyCommands(nullptr);
    std::vector<HotkeyCommand> entries(static_cast<std::size_t>(count > 0 ? count : 0));
    plugin.getHotkeyCommands(entries.data());
    for (const HotkeyCommand& entry : entries) {
        std::wstring command = entry.command;
        command.resize(std::max<std::size_t>(command.size(), 12), L' ');
        print(L"  " + command + L" " + entry.description + L"\n");
    }
}

} // namespace player_host
