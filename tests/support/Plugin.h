// Plugin: player.dll loaded exactly as a host loads it, with LoadLibraryW and
// GetProcAddress by plain name, and an RAII instance on top of it.
#pragma once

#include "player/pluginApi.h"

#include <windows.h>
#include <string>

namespace testing_support {

struct Plugin {
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

    bool complete() const;
};

// Loaded once per test program, from the directory of the test program.
const Plugin& plugin();

// One plug-in instance for the length of a scope.
class Instance {
public:
    explicit Instance(const wchar_t* exePath = L"");
    ~Instance();
    Instance(const Instance&) = delete;
    Instance& operator=(const Instance&) = delete;

    player::PlayerInstance* get() const { return instance_; }
    operator player::PlayerInstance*() const { return instance_; }

private:
    player::PlayerInstance* instance_;
};

// Path of a file next to the running test program.
std::wstring besideProgram(const wchar_t* fileName);

} // namespace testing_support
