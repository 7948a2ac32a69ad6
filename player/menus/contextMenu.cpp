#include "player/menus/contextMenu.h"

#include "player/commands/dispatch.h"
#include "player/link/PlayerWindow.h"
#include "player/link/launch.h"
#include "player/link/messages.h"

#include <cstddef>

namespace player {
namespace {

// The system's own record for InsertMenuItemW: 48 bytes in a 32-bit process; in a
// 64-bit one the handles and the text pointer are 8 bytes wide, and so 80.
#ifdef _WIN64
static_assert(sizeof(MENUITEMINFOW) == 80);
static_assert(offsetof(MENUITEMINFOW, fMask) == 4 && offsetof(MENUITEMINFOW, fType) == 8);
static_assert(offsetof(MENUITEMINFOW, fState) == 12 && offsetof(MENUITEMINFOW, wID) == 16);
static_assert(offsetof(MENUITEMINFOW, hSubMenu) == 24 && offsetof(MENUITEMINFOW, dwTypeData) == 56);
static_assert(offsetof(MENUITEMINFOW, cch) == 64 && offsetof(MENUITEMINFOW, hbmpItem) == 72);
#else
static_assert(sizeof(MENUITEMINFOW) == 48);
static_assert(offsetof(MENUITEMINFOW, fMask) == 4 && offsetof(MENUITEMINFOW, fType) == 8);
static_assert(offsetof(MENUITEMINFOW, fState) == 12 && offsetof(MENUITEMINFOW, wID) == 16);
static_assert(offsetof(MENUITEMINFOW, hSubMenu) == 20 && offsetof(MENUITEMINFOW, dwTypeData) == 36);
static_assert(offsetof(MENUITEMINFOW, cch) == 40 && offsetof(MENUITEMINFOW, hbmpItem) == 44);
#endif

constexpr UINT kItemMask = MIIM_STATE | MIIM_ID | MIIM_TYPE; // 0x13
constexpr UINT kRateMask = MIIM_SUBMENU | MIIM_TYPE;         // 0x14
static_assert(kItemMask == 0x13 && kRateMask == 0x14);

enum RelativeId : int {
    kRunDefaultPlayer = 1,
    kClosePlayer = 2,
    kRepeat = 3,
    kShuffle = 4,
    kUnrated = 5, // 6 to 10: 1 to 5 stars
};

struct ToggleItem {
    UINT relativeId;
    const wchar_t* text;
    UINT stateMessage;
    UINT offset; // from the host's position
};

inline constexpr ToggleItem ToggleItems[] = {
    {kRepeat, L"Repeat", link::RM_STATE_REPEAT, 2},
    {kShuffle, L"Shuffle", link::RM_STATE_SHUFFLE, 3},
};

struct RatingItem {
    UINT relativeId;
    const wchar_t* text;
    int stars;
};

// Top to bottom in the submenu.
inline constexpr RatingItem RatingItems[] = {
    {6, L"1 Star", 1},  {7, L"2 Stars", 2},  {8, L"3 Stars", 3},
    {9, L"4 Stars", 4}, {10, L"5 Stars", 5}, {kUnrated, L"Unrated", 0},
};

constexpr UINT kRateOffset = 4;

// The command each chosen item carries out, by relative identifier; 1 starts the player.
inline constexpr const wchar_t* ItemCommands[] = {
    nullptr,    nullptr,    L"quit",    L"repeat",  L"shuffle", L"rating0",
    L"rating1", L"rating2", L"rating3", L"rating4", L"rating5",
};

void setText(MENUITEMINFOW& item, const wchar_t* text) noexcept {
    item.dwTypeData = const_cast<wchar_t*>(text); // read only by InsertMenuItemW
    item.cch = static_cast<UINT>(lstrlenW(text));
}

void insertItem(HMENU menu, UINT position, MENUITEMINFOW& item, UINT id, const wchar_t* text,
                bool marked) noexcept {
    item.wID = id;
    setText(item, text);
    item.fState = marked ? MFS_CHECKED : MFS_UNCHECKED;
    InsertMenuItemW(menu, position, TRUE, &item);
}

} // namespace

int buildContextMenu(HMENU menu, UINT position, UINT firstId) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = kItemMask;
    item.fType = MFT_STRING;

    if (!player.present()) {
        insertItem(menu, position, item, firstId + kRunDefaultPlayer, L"Run default player", false);
        return 1;
    }

    insertItem(menu, position, item, firstId + kClosePlayer, L"Close player", false);
    InsertMenuW(menu, position + 1, MF_BYPOSITION | MF_SEPARATOR, 0, L"");
    for (const ToggleItem& toggle : ToggleItems) {
        const bool marked = player.send(toggle.stateMessage) != 0;
        insertItem(menu, position + toggle.offset, item, firstId + toggle.relativeId, toggle.text, marked);
    }
    if (player.send(link::RM_IS_SUPPORTED, link::RM_GET_RATING) == 0)
        return 4;

    const HMENU rate = CreatePopupMenu();
    item.fType = MFT_RADIOCHECK;
    UINT ratePosition = 0;
    for (const RatingItem& rating : RatingItems) {
        const bool marked = player.send(link::RM_GET_RATING) == rating.stars; // asked anew for each item
        insertItem(rate, ratePosition++, item, firstId + rating.relativeId, rating.text, marked);
    }

    item.fMask = kRateMask;
    item.fType = MFT_STRING;
    item.hSubMenu = rate;
    setText(item, L"Rate");
    InsertMenuItemW(menu, position + kRateOffset, TRUE, &item);
    return 11;
}

void invokeContextItem(PlayerInstance& instance, int item) noexcept {
    if (item == kRunDefaultPlayer) {
        link::launchPlayer(instance);
        return;
    }
    constexpr int kItems = static_cast<int>(sizeof(ItemCommands) / sizeof(ItemCommands[0]));
    if (item > kRunDefaultPlayer && item < kItems)
        dispatchCommand(instance, ItemCommands[item], 0);
}

} // namespace player
