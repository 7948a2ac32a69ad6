/* PlayerPlugin.h: player.dll as a host application sees it. C99 and C++.
 *
 * Load player.dll with LoadLibraryW (x86/player.dll into a 32-bit process,
 * x64/player.dll into a 64-bit one) and resolve the sixteen exports by their plain
 * names with GetProcAddress; the types below are their signatures, all stdcall
 * (WINAPI). Every string is NUL-terminated UTF-16; capacities count characters,
 * terminator included. The records have the same layout in 32- and 64-bit
 * processes, pinned below. No call holds the host much more than one second,
 * whatever the player does: a player that does not answer in time counts as absent
 * for the rest of that call.
 *
 * Ownership: InitPlayer's instance is the host's until DestroyPlayer; a queryMenu
 * array is the host's until it gives it back with freeMenu. Records and buffers
 * that the host passes in stay the host's. */
#ifndef PLAYER_PLUGIN_H
#define PLAYER_PLUGIN_H

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
#define PLAYER_STATIC_ASSERT(condition, message) static_assert(condition, message)
extern "C" {
#else
#define PLAYER_STATIC_ASSERT(condition, message) _Static_assert(condition, message)
#endif

/* The plug-in's instance: opaque to the host. */
typedef struct PlayerInstance PlayerInstance;

/* One named display setting (getPlayerParams / setPlayerParams). The host saves the
 * six it reads out and gives them back to a later instance. */
typedef struct PlayerParam {
    WCHAR name[50];     /* key, NUL-terminated within the 50 units */
    uint8_t reserved;   /* written as 0, never read */
    uint8_t padding[3]; /* never written or read by the plug-in */
    int32_t value;
} PlayerParam;
PLAYER_STATIC_ASSERT(sizeof(PlayerParam) == 108, "PlayerParam is 108 bytes");
PLAYER_STATIC_ASSERT(offsetof(PlayerParam, reserved) == 100, "PlayerParam.reserved at 100");
PLAYER_STATIC_ASSERT(offsetof(PlayerParam, value) == 104, "PlayerParam.value at 104");

/* One hotkey catalogue entry (getHotkeyCommands); units after each NUL are 0. The
 * command is a name that sendCmd carries out. */
typedef struct HotkeyCommand {
    WCHAR command[100];
    WCHAR description[255];
} HotkeyCommand;
PLAYER_STATIC_ASSERT(sizeof(HotkeyCommand) == 710, "HotkeyCommand is 710 bytes");
PLAYER_STATIC_ASSERT(offsetof(HotkeyCommand, description) == 200, "HotkeyCommand.description at 200");

/* One playlist entry (queryMenu); an all-zero record ends the array. */
typedef struct PlaylistMenuItem {
    WCHAR text[256];    /* at most 254 characters, NUL, then zeros */
    int32_t flags;      /* PLAYER_PLAYLIST_FLAG_ENTRY or _CURRENT; 0 in the end record */
    uint32_t reserved1; /* 0 */
    int32_t id;         /* playlist index + 1, for invokeMenu; 0 in the end record */
    uint32_t reserved2; /* 0 */
    uint32_t reserved3; /* 0 */
} PlaylistMenuItem;
PLAYER_STATIC_ASSERT(sizeof(PlaylistMenuItem) == 532, "PlaylistMenuItem is 532 bytes");
PLAYER_STATIC_ASSERT(offsetof(PlaylistMenuItem, flags) == 512, "PlaylistMenuItem.flags at 512");
PLAYER_STATIC_ASSERT(offsetof(PlaylistMenuItem, reserved1) == 516, "PlaylistMenuItem.reserved1 at 516");
PLAYER_STATIC_ASSERT(offsetof(PlaylistMenuItem, id) == 520, "PlaylistMenuItem.id at 520");
PLAYER_STATIC_ASSERT(offsetof(PlaylistMenuItem, reserved2) == 524, "PlaylistMenuItem.reserved2 at 524");
PLAYER_STATIC_ASSERT(offsetof(PlaylistMenuItem, reserved3) == 528, "PlaylistMenuItem.reserved3 at 528");

#define PLAYER_PLAYLIST_FLAG_ENTRY 2
#define PLAYER_PLAYLIST_FLAG_CURRENT 3
/* The one list name of queryMenu, invokeMenu and freeMenu. */
#define PLAYER_PLAYLIST_NAME L"*playlist"
/* What getPlayerParams and getHotkeyCommands return, and the records they fill. */
#define PLAYER_PARAM_COUNT 6
#define PLAYER_HOTKEY_COUNT 11
/* getState's answers ("play", "pause", "on", "off") fit in this many characters. */
#define PLAYER_STATE_CAPACITY 6

/* The exports, in ordinal order (1 to 16). */
typedef void(WINAPI* DestroyPlayerFn)(PlayerInstance* instance);
typedef WCHAR*(WINAPI* GetEXEFn)(WCHAR* buffer, int capacity);
typedef HRESULT(WINAPI* GetPlayerNameFn)(WCHAR* buffer, UINT capacity);
typedef PlayerInstance*(WINAPI* InitPlayerFn)(const WCHAR* exePath);
typedef void(WINAPI* freeMenuFn)(PlayerInstance* instance, const WCHAR* listName, PlaylistMenuItem* items);
typedef int(WINAPI* getHotkeyCommandsFn)(HotkeyCommand* entries);
typedef int(WINAPI* getPlayerParamsFn)(PlayerInstance* instance, PlayerParam* params);
typedef int(WINAPI* getPropFn)(PlayerInstance* instance, const WCHAR* name, int kind);
typedef void(WINAPI* getStateFn)(PlayerInstance* instance, const WCHAR* name, WCHAR* out);
typedef void(WINAPI* getTextFn)(PlayerInstance* instance, const WCHAR* name, WCHAR* out, int size);
typedef void(WINAPI* invokeCtxMenuFn)(PlayerInstance* instance, int item);
typedef void(WINAPI* invokeMenuFn)(PlayerInstance* instance, const WCHAR* listName, int item);
typedef int(WINAPI* queryCtxMenuFn)(PlayerInstance* instance, HMENU menu, UINT position, UINT firstId);
typedef PlaylistMenuItem*(WINAPI* queryMenuFn)(PlayerInstance* instance, const WCHAR* listName);
typedef void(WINAPI* sendCmdFn)(PlayerInstance* instance, const WCHAR* name, int value);
typedef void(WINAPI* setPlayerParamsFn)(PlayerInstance* instance, const PlayerParam* params, int count);

#ifdef __cplusplus
} /* extern "C" */
#endif

#endif /* PLAYER_PLUGIN_H */
