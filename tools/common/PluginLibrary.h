// PluginLibrary: player.dll loaded as a host loads it, with LoadLibraryW and
// GetProcAddress by plain export name.
#pragma once

#include "Unique.h"
#include "PlayerPlugin.h"

#include <windows.h>
#include <optional>
#include <string>

namespace tools {

struct PluginLibrary {
    UniqueModule module;
    DestroyPlayerFn DestroyPlayer = nullptr;
    GetEXEFn GetEXE = nullptr;
    GetPlayerNameFn GetPlayerName = nullptr;
    InitPlayerFn InitPlayer = nullptr;
    freeMenuFn freeMenu = nullptr;
    getHotkeyCommandsFn getHotkeyCommands = nullptr;
    getPlayerParamsFn getPlayerParams = nullptr;
    getPropFn getProp = nullptr;
    getStateFn getState = nullptr;
    getTextFn getText = nullptr;
    invokeCtxMenuFn invokeCtxMenu = nullptr;
    invokeMenuFn invokeMenu = nullptr;
    queryCtxMenuFn queryCtxMenu = nullptr;
    queryMenuFn queryMenu = nullptr;
    sendCmdFn sendCmd = nullptr;
    setPlayerParamsFn setPlayerParams = nullptr;
};

// Loads the library and all sixteen exports. On failure returns false and names the
// cause in words in `error` ("player.dll not found at ...", "... is the 32-bit DLL; a
// 64-bit host such as this one needs x64\player.dll", "... has no export sendCmd").
bool loadPlugin(const std::wstring& path, PluginLibrary& plugin, std::wstring& error);

enum class PlayerPresence { Absent, Answering, NotAnswering };
// What the plug-in knows of the player now, read from its exports without waiting on
// the player: getProp kind PLAYER_PROP_RUNNING is 1 while the player's window exists and
// it is not known to be silent; otherwise the context menu offers only to run an absent
// player, and a silent one's items without marks. A player found silent by an earlier
// call is NotAnswering; one never asked yet counts as Answering until a call meets its
// silence.
PlayerPresence playerPresence(const PluginLibrary& plugin, PlayerInstance* instance);

// Whether the player offers ratings: only then has the plug-in's context menu its Rate submenu.
// The menu has none for a player that does not answer either: see askedOffersRatings.
bool offersRatings(const PluginLibrary& plugin, PlayerInstance* instance);
// Whether the player says it offers ratings, asked by the program itself (RM_IS_SUPPORTED,
// waiting at most a second), for a host that must tell a player without ratings from one
// whose answer did not come; nothing when it did not answer or is not running.
std::optional<bool> askedOffersRatings();

// player.dll beside the running program, or where the release bundle keeps it: the
// tools sit in tools/ARCH/, the plug-in in ARCH/.
std::wstring defaultPluginPath();

// Path of a file in the directory of the running program.
std::wstring besideProgram(const wchar_t* fileName);

} // namespace tools
