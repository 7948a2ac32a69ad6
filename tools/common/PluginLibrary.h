// PluginLibrary: player.dll loaded as a host loads it, with LoadLibraryW and
// GetProcAddress by plain export name.
#pragma once

#include "player/pluginApi.h"

#include <windows.h>
#include <string>

namespace tools {

struct PluginLibrary {
    HMODULE module = nullptr;
    player::DestroyPlayerFn DestroyPlayer = nullptr;
    player::GetEXEFn GetEXE = nullptr;
    player::GetPlayerNameFn GetPlayerName = nullptr;
    player::InitPlayerFn InitPlayer = nullptr;
    player::freeMenuFn freeMenu = nullptr;
    player::getHotkeyCommandsFn getHotkeyCommands = nullptr;
    player::getPlayerParamsFn getPlayerParams = nullptr;
    player::getPropFn getProp = nullptr;
    player::getStateFn getState = nullptr;
    player::getTextFn getText = nullptr;
    player::invokeCtxMenuFn invokeCtxMenu = nullptr;
    player::invokeMenuFn invokeMenu = nullptr;
    player::queryCtxMenuFn queryCtxMenu = nullptr;
    player::queryMenuFn queryMenu = nullptr;
    player::sendCmdFn sendCmd = nullptr;
    player::setPlayerParamsFn setPlayerParams = nullptr;
};

// Loads the library and all sixteen exports. On failure returns false and names the
// cause in `error` ("cannot load ...", "... has no export sendCmd").
bool loadPlugin(const std::wstring& path, PluginLibrary& plugin, std::wstring& error);

// Path of a file in the directory of the running program.
std::wstring besideProgram(const wchar_t* fileName);

} // namespace tools
