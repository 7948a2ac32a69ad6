#include "PluginLibrary.h"

#include "Console.h"
#include "PlayerRemote.h"
#include "PlayerVersion.h"

namespace tools {
namespace {

template <typename Fn>
bool resolve(HMODULE module, Fn& fn, const char* name, std::wstring& missing) {
    fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    if (fn == nullptr && missing.empty())
        missing.assign(name, name + strlen(name));
    return fn != nullptr;
}

// The machine a Windows image is built for (IMAGE_FILE_MACHINE_*), or 0 when the file
// is no Windows image.
WORD imageMachine(const std::wstring& path) {
    const UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    IMAGE_DOS_HEADER dos{};
    DWORD read = 0;
    if (!file || !ReadFile(file.get(), &dos, sizeof dos, &read, nullptr) || read != sizeof dos ||
        dos.e_magic != IMAGE_DOS_SIGNATURE || dos.e_lfanew <= 0)
        return 0;
    struct {
        DWORD signature;
        IMAGE_FILE_HEADER header;
    } nt{};
    if (SetFilePointer(file.get(), dos.e_lfanew, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER ||
        !ReadFile(file.get(), &nt, sizeof nt, &read, nullptr) || read != sizeof nt ||
        nt.signature != IMAGE_NT_SIGNATURE)
        return 0;
    return nt.header.Machine;
}

} // namespace

bool loadPlugin(const std::wstring& path, PluginLibrary& p, std::wstring& error) {
    p.module.reset(LoadLibraryW(path.c_str()));
    if (!p.module) {
        const DWORD code = GetLastError();
        if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
            error = L"player.dll not found at " + path;
        else if (code == ERROR_BAD_EXE_FORMAT)
            switch (imageMachine(path)) {
            case IMAGE_FILE_MACHINE_I386:
                error = path + L" is the 32-bit DLL; a 64-bit host such as this one needs x64\\player.dll";
                break;
            case IMAGE_FILE_MACHINE_AMD64:
                error = path + L" is the 64-bit DLL; a 32-bit host such as this one needs x86\\player.dll";
                break;
            default:
                error = path + L" is not a Windows DLL";
                break;
            }
        else
            error = L"cannot load " + path + L": " + systemMessage(code);
        return false;
    }
    std::wstring missing;
    resolve(p.module.get(), p.DestroyPlayer, "DestroyPlayer", missing);
    resolve(p.module.get(), p.GetEXE, "GetEXE", missing);
    resolve(p.module.get(), p.GetPlayerName, "GetPlayerName", missing);
    resolve(p.module.get(), p.InitPlayer, "InitPlayer", missing);
    resolve(p.module.get(), p.freeMenu, "freeMenu", missing);
    resolve(p.module.get(), p.getHotkeyCommands, "getHotkeyCommands", missing);
    resolve(p.module.get(), p.getPlayerParams, "getPlayerParams", missing);
    resolve(p.module.get(), p.getProp, "getProp", missing);
    resolve(p.module.get(), p.getState, "getState", missing);
    resolve(p.module.get(), p.getText, "getText", missing);
    resolve(p.module.get(), p.invokeCtxMenu, "invokeCtxMenu", missing);
    resolve(p.module.get(), p.invokeMenu, "invokeMenu", missing);
    resolve(p.module.get(), p.queryCtxMenu, "queryCtxMenu", missing);
    resolve(p.module.get(), p.queryMenu, "queryMenu", missing);
    resolve(p.module.get(), p.sendCmd, "sendCmd", missing);
    resolve(p.module.get(), p.setPlayerParams, "setPlayerParams", missing);
    if (!missing.empty()) {
        error = path + L" has no export " + missing;
        return false;
    }
    return true;
}

PlayerPresence playerPresence(const PluginLibrary& plugin, PlayerInstance* instance) {
    if (plugin.getProp(instance, L"playpause", PLAYER_PROP_RUNNING) != 0)
        return PlayerPresence::Answering;
    const UniqueMenu menu(CreatePopupMenu());
    return plugin.queryCtxMenu(instance, menu.get(), 0, 1) > 1 ? PlayerPresence::NotAnswering
                                                               : PlayerPresence::Absent;
}

bool offersRatings(const PluginLibrary& plugin, PlayerInstance* instance) {
    const UniqueMenu menu(CreatePopupMenu());
    return plugin.queryCtxMenu(instance, menu.get(), 0, 1) > 4;
}

std::optional<bool> askedOffersRatings() {
    const HWND window = FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr);
    DWORD_PTR answer = 0;
    if (window == nullptr ||
        SendMessageTimeoutW(window, RM_IS_SUPPORTED, RM_GET_RATING, 0, SMTO_ABORTIFHUNG, 1000, &answer) == 0)
        return std::nullopt;
    return static_cast<UINT>(answer) != 0;
}

std::wstring defaultPluginPath() {
    const std::wstring beside = besideProgram(L"player.dll");
    if (GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
        return beside;
    return besideProgram(L"..\\..\\" PLAYER_ARCH_WIDE L"\\player.dll");
}

std::wstring besideProgram(const wchar_t* fileName) {
    // A path cut at the buffer's end would name another folder: grow until it fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    path.erase(path.find_last_of(L"\\/") + 1);
    return path + fileName;
}

} // namespace tools
