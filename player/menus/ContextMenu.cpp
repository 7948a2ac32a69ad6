#include "player/menus/ContextMenu.h"

#include "player/Owned.h"
#include "player/commands/Dispatch.h"
#include "player/NameTable.h"
#include "player/PublicNames.h"
#include "player/link/PlayerWindow.h"
#include "player/link/Launch.h"
#include "player/link/Messages.h"

#include <cstddef>
#include <iterator>
#include <optional>

namespace player::menus {
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

enum class ItemKind {
    RunPlayer, // starts the player
    Command,   // carries out `command`
    Separator,
    Toggle,   // marked when the player answers `message` nonzero; carries out `command`
    RateMenu, // the submenu of the Rating rows after it, when the player supports `message`
    Rating,   // in the submenu, marked when RM_GET_RATING answers `stars`; carries out `command`
};

// One item of the plug-in's part of the menu. Its identifier is firstId + relativeId.
struct MenuRow {
    UINT relativeId; // 0: no identifier (separator, submenu)
    const wchar_t* text;
    ItemKind kind;
    UINT message;
    int stars;
    const wchar_t* command;
};

// The player is absent.
inline constexpr MenuRow AbsentMenu[] = {
    {1, L"Run default player", ItemKind::RunPlayer, 0, 0, nullptr},
};

// The player runs: in menu order, the Rating rows going into the Rate submenu.
inline constexpr MenuRow PresentMenu[] = {
    {2, L"Close player", ItemKind::Command, 0, 0, L"quit"},
    {0, L"", ItemKind::Separator, 0, 0, nullptr},
    {3, L"Repeat", ItemKind::Toggle, link::RM_STATE_REPEAT, 0, L"repeat"},
    {4, L"Shuffle", ItemKind::Toggle, link::RM_STATE_SHUFFLE, 0, L"shuffle"},
    {0, L"Rate", ItemKind::RateMenu, link::RM_GET_RATING, 0, nullptr},
    {6, L"1 Star", ItemKind::Rating, 0, 1, L"rating1"},
    {7, L"2 Stars", ItemKind::Rating, 0, 2, L"rating2"},
    {8, L"3 Stars", ItemKind::Rating, 0, 3, L"rating3"},
    {9, L"4 Stars", ItemKind::Rating, 0, 4, L"rating4"},
    {10, L"5 Stars", ItemKind::Rating, 0, 5, L"rating5"},
    {5, L"Unrated", ItemKind::Rating, 0, 0, L"rating0"},
};

template <std::size_t N>
constexpr int rowsBefore(const MenuRow (&rows)[N], ItemKind kind) {
    int count = 0;
    while (count < static_cast<int>(N) && rows[count].kind != kind)
        ++count;
    return count;
}

// What queryCtxMenu answers: the rows of the case, whether or not each insertion took.
constexpr int kAbsentResult = static_cast<int>(std::size(AbsentMenu));
constexpr int kWithoutRatingsResult = rowsBefore(PresentMenu, ItemKind::RateMenu);
constexpr int kWithRatingsResult = static_cast<int>(std::size(PresentMenu));
static_assert(kAbsentResult == 1 && kWithoutRatingsResult == 4 && kWithRatingsResult == 11);
static_assert(PresentMenu[kWithoutRatingsResult].kind == ItemKind::RateMenu);

// Item k has the text that the header lists for k, and every item it lists is here.
template <std::size_t N>
constexpr int itemsAsTheHeaderSays(const MenuRow (&rows)[N]) {
    int items = 0;
    for (const MenuRow& row : rows) {
        if (row.relativeId == 0)
            continue;
        if (row.relativeId > std::size(kContextItemTexts) ||
            !sameText(row.text, kContextItemTexts[row.relativeId - 1]))
            return -1;
        ++items;
    }
    return items;
}
static_assert(itemsAsTheHeaderSays(AbsentMenu) + itemsAsTheHeaderSays(PresentMenu) ==
              static_cast<int>(std::size(kContextItemTexts)));

void insertItem(HMENU menu, UINT position, UINT type, UINT id, const wchar_t* text, bool marked) noexcept {
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = kItemMask;
    item.fType = type;
    item.fState = marked ? MFS_CHECKED : MFS_UNCHECKED;
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t*>(text); // read only by InsertMenuItemW
    item.cch = static_cast<UINT>(lstrlenW(text));
    InsertMenuItemW(menu, position, TRUE, &item);
}

// The Rate item and its submenu of the Rating rows that follow it; false when the
// player does not support ratings.
bool insertRateMenu(HMENU menu, UINT position, UINT firstId, const MenuRow& rate, const MenuRow* ratings,
                    const MenuRow* end, link::PlayerWindow& player) noexcept {
    if (player.send(link::RM_IS_SUPPORTED, rate.message) == 0)
        return false;
    OwnedMenu submenu; // ours until the host's menu takes it
    UINT subPosition = 0;
    for (const MenuRow* row = ratings; row != end; ++row) {
        // Asked anew for each item; a rating left unanswered is unknown, and marks no item.
        const std::optional<int> rating = player.ask(link::RM_GET_RATING);
        const bool marked = rating && *rating == row->stars;
        insertItem(submenu.get(), subPosition++, MFT_RADIOCHECK, firstId + row->relativeId, row->text,
                   marked);
    }
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = kRateMask;
    item.fType = MFT_STRING;
    item.hSubMenu = submenu.get();
    item.dwTypeData = const_cast<wchar_t*>(rate.text);
    item.cch = static_cast<UINT>(lstrlenW(rate.text));
    if (InsertMenuItemW(menu, position, TRUE, &item))
        submenu.release(); // the host's menu owns it now
    return true;
}

// The row of a chosen item, by its relative identifier.
template <std::size_t N>
const MenuRow* findItem(const MenuRow (&rows)[N], int item) noexcept {
    for (const MenuRow& row : rows)
        if (row.relativeId != 0 && static_cast<int>(row.relativeId) == item)
            return &row;
    return nullptr;
}

} // namespace

int buildContextMenu(HMENU menu, UINT position, UINT firstId) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();
    // A silent player's window still takes commands: its items, without marks or Rate.
    if (!player.found()) {
        for (const MenuRow& row : AbsentMenu)
            insertItem(menu, position++, MFT_STRING, firstId + row.relativeId, row.text, false);
        return kAbsentResult;
    }
    // The items before the Rate row go into the host's menu; the Rate row and the rows
    // after it make the submenu, when the player supports ratings.
    const MenuRow* rate = std::begin(PresentMenu) + kWithoutRatingsResult;
    for (const MenuRow* row = std::begin(PresentMenu); row != rate; ++row, ++position) {
        switch (row->kind) {
        case ItemKind::Separator:
            InsertMenuW(menu, position, MF_BYPOSITION | MF_SEPARATOR, 0, L"");
            break;
        case ItemKind::Toggle:
            insertItem(menu, position, MFT_STRING, firstId + row->relativeId, row->text,
                       player.send(row->message) != 0);
            break;
        default:
            insertItem(menu, position, MFT_STRING, firstId + row->relativeId, row->text, false);
            break;
        }
    }
    return insertRateMenu(menu, position, firstId, *rate, rate + 1, std::end(PresentMenu), player)
               ? kWithRatingsResult
               : kWithoutRatingsResult;
}

void invokeContextItem(PlayerInstance& instance, int item) noexcept {
    const MenuRow* row = findItem(AbsentMenu, item);
    if (row == nullptr)
        row = findItem(PresentMenu, item);
    if (row == nullptr)
        return;
    if (row->kind == ItemKind::RunPlayer)
        link::launchPlayer(instance);
    else
        commands::dispatchCommand(instance, row->command, 0);
}

} // namespace player::menus
