#include "Plugin.h"

#include <cstdio>

namespace testing_support {
namespace {

template <typename Fn>
void resolve(HMODULE module, Fn& fn, const char* name) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

Plugin load() {
    Plugin p;
    p.module = LoadLibraryW(besideProgram(L"player.dll").c_str());
    if (p.module == nullptr)
        return p;
    resolve(p.module, p.DestroyPlayer, "DestroyPlayer");
    resolve(p.module, p.GetEXE, "GetEXE");
    resolve(p.module, p.GetPlayerName, "GetPlayerName");
    resolve(p.module, p.InitPlayer, "InitPlayer");
    resolve(p.module, p.freeMenu, "freeMenu");
    resolve(p.module, p.getHotkeyCommands, "getHotkeyCommands");
    resolve(p.module, p.getPlayerParams, "getPlayerParams");
    resolve(p.module, p.getProp, "getProp");
    resolve(p.module, p.getState, "getState");
    resolve(p.module, p.getText, "getText");
    resolve(p.module, p.invokeCtxMenu, "invokeCtxMenu");
    resolve(p.module, p.invokeMenu, "invokeMenu");
    resolve(p.module, p.queryCtxMenu, "queryCtxMenu");
    resolve(p.module, p.queryMenu, "queryMenu");
    resolve(p.module, p.sendCmd, "sendCmd");
    resolve(p.module, p.setPlayerParams, "setPlayerParams");
    return p;
}

} // namespace

bool Plugin::complete() const {
    return module && DestroyPlayer && GetEXE && GetPlayerName && InitPlayer && freeMenu &&
           getHotkeyCommands && getPlayerParams && getProp && getState && getText && invokeCtxMenu &&
           invokeMenu && queryCtxMenu && queryMenu && sendCmd && setPlayerParams;
}

const Plugin& plugin() {
    static const Plugin loaded = load();
    if (!loaded.complete()) {
        // Nothing can be tested without the library; say so once and stop.
        fprintf(stderr, "player.dll or one of its exports could not be loaded\n");
        ExitProcess(3);
    }
    return loaded;
}

Instance::Instance(const wchar_t* exePath) : instance_(plugin().InitPlayer(exePath)) {}

Instance::~Instance() {
    plugin().DestroyPlayer(instance_);
}

std::wstring besideProgram(const wchar_t* fileName) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring result(path, length);
    result.erase(result.find_last_of(L"\\/") + 1);
    return result + fileName;
}

} // namespace testing_support
