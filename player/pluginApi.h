// The plug-in's interface as a host sees it: the records it exchanges and the
// sixteen stdcall exports, as function-pointer types for GetProcAddress.
//
// Every string is NUL-terminated UTF-16; capacities count characters, terminator
// included. Records are little-endian and lie back to back in arrays; their
// layouts are fixed and pinned below.
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

namespace player {

struct PlayerInstance;

// One named display setting (getPlayerParams / setPlayerParams).
struct PlayerParam {
    wchar_t name[50];      // key, NUL-terminated within the 50 units
    std::uint8_t reserved; // written as 0, never read
    std::uint8_t padding[3];
    std::int32_t value;
};
static_assert(sizeof(PlayerParam) == 108);
static_assert(offsetof(PlayerParam, reserved) == 100);
static_assert(offsetof(PlayerParam, value) == 104);

// One hotkey catalogue entry (getHotkeyCommands); units after each NUL are 0.
struct HotkeyCommand {
    wchar_t command[100];
    wchar_t description[255];
};
static_assert(sizeof(HotkeyCommand) == 710);
static_assert(offsetof(HotkeyCommand, description) == 200);
static_assert(alignof(HotkeyCommand) == 2);

// One playlist entry (queryMenu); an all-zero record ends the array.
struct PlaylistMenuItem {
    wchar_t text[256];       // at most 254 characters, NUL, then zeros
    std::int32_t flags;      // 2 an entry, 3 the current entry, 0 the end record
    std::uint32_t reserved1; // 0
    std::int32_t id;         // playlist index + 1; 0 in the end record
    std::uint32_t reserved2; // 0
    std::uint32_t reserved3; // 0
};
static_assert(sizeof(PlaylistMenuItem) == 532);
static_assert(offsetof(PlaylistMenuItem, flags) == 512);
static_assert(offsetof(PlaylistMenuItem, reserved1) == 516);
static_assert(offsetof(PlaylistMenuItem, id) == 520);
static_assert(offsetof(PlaylistMenuItem, reserved2) == 524);
static_assert(offsetof(PlaylistMenuItem, reserved3) == 528);

inline constexpr int kPlaylistFlagEntry = 2;
inline constexpr int kPlaylistFlagCurrent = 3;

// The exports, in ordinal order.
using DestroyPlayerFn = void(WINAPI*)(PlayerInstance* instance);
using GetEXEFn = wchar_t*(WINAPI*)(wchar_t* buffer, int capacity);
using GetPlayerNameFn = HRESULT(WINAPI*)(wchar_t* buffer, UINT capacity);
using InitPlayerFn = PlayerInstance*(WINAPI*)(const wchar_t* exePath);
using freeMenuFn = void(WINAPI*)(PlayerInstance* instance, const wchar_t* listName, PlaylistMenuItem* items);
using getHotkeyCommandsFn = int(WINAPI*)(HotkeyCommand* entries);
using getPlayerParamsFn = int(WINAPI*)(PlayerInstance* instance, PlayerParam* params);
using getPropFn = int(WINAPI*)(PlayerInstance* instance, const wchar_t* name, int kind);
using getStateFn = void(WINAPI*)(PlayerInstance* instance, const wchar_t* name, wchar_t* out);
using getTextFn = void(WINAPI*)(PlayerInstance* instance, const wchar_t* name, wchar_t* out, int size);
using invokeCtxMenuFn = void(WINAPI*)(PlayerInstance* instance, int item);
using invokeMenuFn = void(WINAPI*)(PlayerInstance* instance, const wchar_t* listName, int item);
using queryCtxMenuFn = int(WINAPI*)(PlayerInstance* instance, HMENU menu, UINT position, UINT firstId);
using queryMenuFn = PlaylistMenuItem*(WINAPI*)(PlayerInstance* instance, const wchar_t* listName);
using sendCmdFn = void(WINAPI*)(PlayerInstance* instance, const wchar_t* name, int value);
using setPlayerParamsFn = void(WINAPI*)(PlayerInstance* instance, const PlayerParam* params, int count);

} // namespace player
