// The tests' view of a real menu, and a host menu to insert into.
#pragma once

#include "MenuReader.h" // tools/common

namespace testing_support {

using tools::MenuEntry;
using tools::readMenu;

// A host's context menu with three items of its own, ids 1 to 3.
inline HMENU hostMenu() {
    HMENU menu = CreatePopupMenu();
    AppendMenuW(menu, MF_STRING, 1, L"Host A");
    AppendMenuW(menu, MF_STRING, 2, L"Host B");
    AppendMenuW(menu, MF_STRING, 3, L"Host C");
    return menu;
}

} // namespace testing_support
