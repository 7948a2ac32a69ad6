#include "player/menus/PlaylistMenu.h"

#include "player/Owned.h"
#include "player/NameTable.h"
#include "player/link/PlayerWindow.h"
#include "player/link/Messages.h"

namespace player::menus {
namespace {

constexpr wchar_t kPlaylistName[] = PLAYER_PLAYLIST_NAME;
constexpr int kTitleCapacity = 255; // at most 254 characters and the NUL
constexpr int kMaxEntries = PLAYER_PLAYLIST_MAX_ENTRIES;
static_assert((kMaxEntries + 1) * sizeof(PlaylistMenuItem) < 64 * 1024 * 1024, "the bound fits any host");

} // namespace

PlaylistMenuItem* buildPlaylist(const wchar_t* listName) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();
    if (!player.answering() || !isName(listName, kPlaylistName))
        return nullptr;
    const int answered = player.send(link::RM_PLAYLIST_COUNT);
    if (answered <= 0)
        return nullptr;
    // A longer playlist gives its first entries, ids unchanged, so invokeMenu plays what
    // the host shows: making the array (about 35 MB at the bound) fits the call's second,
    // and a player's wild count cannot make a host commit gigabytes.
    const int count = answered < kMaxEntries ? answered : kMaxEntries;
    // Without an answer no entry is marked: the first is no more current than any other.
    const int current = player.ask(link::RM_PLAYLIST_CURRENT).value_or(-1);

    const SIZE_T bytes = (static_cast<SIZE_T>(count) + 1) * sizeof(PlaylistMenuItem);
    HeapBlock<PlaylistMenuItem> items(bytes, HEAP_ZERO_MEMORY);
    if (!items)
        return nullptr;

    // Every record first, so that the texts get what is left of the call's time.
    for (int i = 0; i < count; ++i) {
        items[i].id = i + 1;
        items[i].flags = i == current ? kPlaylistFlagCurrent : kPlaylistFlagEntry;
    }
    // The request and the title read follow each other directly: the title is the reply.
    // Once the player stops answering or the call's time is spent, the rest stay empty.
    for (int i = 0; i < count && player.answering(); ++i)
        player.askText(link::RM_PLAYLIST_ITEMTEXT, static_cast<WPARAM>(i), items[i].text, kTitleCapacity,
                       true);
    return items.release(); // the host's until it gives the array back with freeMenu
}

void playPlaylistItem(const wchar_t* listName, int item) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();
    if (!player.found() || !isName(listName, kPlaylistName))
        return;
    // The id is index + 1 and passes unchecked: item 0 plays index 0xFFFFFFFF.
    player.post(link::RM_PLAYLIST_PLAY, static_cast<WPARAM>(static_cast<UINT>(item) - 1u));
}

void freePlaylist(PlaylistMenuItem* items) noexcept {
    if (items != nullptr)
        HeapFree(GetProcessHeap(), 0, items);
}

} // namespace player::menus
