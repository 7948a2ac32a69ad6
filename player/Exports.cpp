// The sixteen exports. Each unpacks its arguments, calls its subsystem and returns;
// the module definition alone exports them, under their plain names.
// A null instance (InitPlayer out of memory) gives every per-instance export its empty
// answer and asks nothing of the player; the exports that need no instance still
// work: getPlayerParams(NULL, NULL) counts and freeMenu frees.
#include "player/PlayerInstance.h"
#include "player/BoundedCopy.h"
#include "player/commands/Dispatch.h"
#include "player/commands/Properties.h"
#include "player/commands/Queries.h"
#include "player/Hotkeys.h"
#include "player/menus/ContextMenu.h"
#include "player/link/TitleTurn.h"
#include "player/menus/PlaylistMenu.h"
#include "player/PluginApi.h"
#include "player/PublicNames.h"
#include "player/Settings.h"

using player::HotkeyCommand;
using player::PlayerInstance;
using player::PlayerParam;
using player::PlaylistMenuItem;

namespace {
constexpr wchar_t kDisplayName[] = L"Velmora Player";
}

extern "C" {

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
    // The one handle the library keeps between calls: the shared memory of
    // link/TitleTurn.h. A process that is ending needs it not given back, and its other
    // threads are gone, perhaps while holding a lock.
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr)
        player::link::closeTitleTurn();
    return TRUE;
}

void WINAPI DestroyPlayer(PlayerInstance* instance) noexcept {
    player::destroyInstance(instance);
}

wchar_t* WINAPI GetEXE(wchar_t* buffer, int capacity) noexcept {
    // This plug-in never names an executable to the host. The capacity is no limit to
    // the one NUL, but 0 leaves no room for it; a negative one is a host's size above
    // 2^31 - 1 passed as a signed number, and room enough.
    if (buffer != nullptr && capacity != 0)
        buffer[0] = L'\0';
    return buffer;
}

HRESULT WINAPI GetPlayerName(wchar_t* buffer, UINT capacity) noexcept {
    return player::copyBounded(buffer, capacity, kDisplayName);
}

PlayerInstance* WINAPI InitPlayer(const wchar_t* exePath) noexcept {
    return player::createInstance(exePath);
}

// Releases the array whatever the instance: a host giving a list back must never leak it.
void WINAPI freeMenu(PlayerInstance*, const wchar_t*, PlaylistMenuItem* items) noexcept {
    player::menus::freePlaylist(items);
}

int WINAPI getHotkeyCommands(HotkeyCommand* entries) noexcept {
    return player::copyHotkeys(entries);
}

int WINAPI getPlayerParams(PlayerInstance* instance, PlayerParam* params) noexcept {
    // A host sizes its array before it has an instance: the count needs none.
    if (params == nullptr)
        return player::kSettingCount;
    return instance != nullptr ? player::readSettings(*instance, params) : 0;
}

int WINAPI getProp(PlayerInstance* instance, const wchar_t* name, int kind) noexcept {
    return instance != nullptr ? player::commands::queryProperty(*instance, name, kind) : 0;
}

void WINAPI getState(PlayerInstance* instance, const wchar_t* name, wchar_t* out) noexcept {
    if (instance != nullptr)
        player::commands::queryState(name, out);
}

void WINAPI getText(PlayerInstance* instance, const wchar_t* name, wchar_t* out, int size) noexcept {
    if (instance != nullptr)
        player::commands::queryText(*instance, name, out, size);
}

void WINAPI invokeCtxMenu(PlayerInstance* instance, int item) noexcept {
    if (instance != nullptr)
        player::menus::invokeContextItem(*instance, item);
}

void WINAPI invokeMenu(PlayerInstance* instance, const wchar_t* listName, int item) noexcept {
    if (instance != nullptr)
        player::menus::playPlaylistItem(listName, item);
}

int WINAPI queryCtxMenu(PlayerInstance* instance, HMENU menu, UINT position, UINT firstId) noexcept {
    return instance != nullptr ? player::menus::buildContextMenu(menu, position, firstId) : 0;
}

PlaylistMenuItem* WINAPI queryMenu(PlayerInstance* instance, const wchar_t* listName) noexcept {
    return instance != nullptr ? player::menus::buildPlaylist(listName) : nullptr;
}

void WINAPI sendCmd(PlayerInstance* instance, const wchar_t* name, int value) noexcept {
    if (instance != nullptr)
        player::commands::dispatchCommand(*instance, name, value);
}

void WINAPI setPlayerParams(PlayerInstance* instance, const PlayerParam* params, int count) noexcept {
    if (instance != nullptr)
        player::writeSettings(*instance, params, count);
}

} // extern "C"

// Each export the header lists has exactly the signature the header gives it, under the
// name it gives; the tests compare the list with the built library's export table.
namespace {
#define PLAYER_EXPORT_CHECK(ordinal, identifier, name)                                                       \
    [[maybe_unused]] constexpr identifier##Fn k##identifier = &identifier;                                   \
    static_assert(ordinal >= 1 && ordinal <= 16 && player::sameText(#identifier, name));
PLAYER_EXPORTS(PLAYER_EXPORT_CHECK)
#undef PLAYER_EXPORT_CHECK
} // namespace
