// player-panel: a windowed host of player.dll, the way a desktop widget hosts it,
// and a camera for it.
//   player-panel [--dll PATH] [--exe PATH] [--ini PATH] [--width W]
//   player-panel --screenshot FILE.png [--width W] [--dpi D] ...   draws the panel once and exits
#include "Console.h"
#include "PanelWindow.h"
#include "Picture.h"
#include "PluginLibrary.h"

#include "PlayerVersion.h"

#include <windows.h>

#include <cwchar>
#include <string>

namespace {

using player_panel::PanelWindow;

constexpr wchar_t kUsage[] =
    L"usage: player-panel [--dll PATH] [--exe PATH] [--ini PATH] [--width W]\n"
    L"       player-panel --screenshot FILE [--width W] [--dpi D] ...\n"
    L"  A panel for the player: click the buttons, toggles, stars and sliders (or drag them), the time\n"
    L"  to switch remaining/elapsed, the mouse wheel on the volume; right-click for the context menu.\n"
    L"  Keys: Tab and Shift+Tab move between the controls, Space or Enter presses one, the arrows move\n"
    L"  a slider; P play/pause, N next, B previous (back to the start of the track, or to the one\n"
    L"  before in its first seconds), S stop, M mute, + and - the volume, L the playlist, H shuffle,\n"
    L"  R repeat, T the time remaining/elapsed, 1 to 5 the stars; the menu key opens the context menu.\n"
    L"  --screenshot FILE      draw the panel once into FILE (.png, .bmp, .jpg or .tif) and exit\n"
    L"  --width W              the panel's width at 100 %, 300 to 2000 (360)\n"
    L"  --dpi D                with --screenshot: draw it at D dots per inch, 96 (100 %) to 480\n"
    L"  --menu                 with --screenshot: open the context menu and photograph it from the\n"
    L"                         screen (on a real display: a headless one draws no menus)\n"
    L"  Defaults: player.dll and remote-player.exe beside this program (or the bundle's); the\n"
    L"  settings and hotkeys ([hotkeys] next=Ctrl+Alt+Right) in %APPDATA%\\player\\player-panel.ini,\n"
    L"  made at the first save.\n"
    L"Exit codes: 0 done, 1 error, 2 usage.\n";

int fail(const std::wstring& message, int code = 1) {
    tools::printError(L"player-panel: " + message + L"\n");
    return code;
}

int run(int argc, wchar_t** argv) {
    std::wstring dll = tools::defaultPluginPath();
    std::wstring exe = tools::besideProgram(L"remote-player.exe");
    std::wstring ini = tools::defaultSettingsPath(L"player-panel.ini");
    std::wstring screenshot;
    int width = player_panel::kDefaultWidth;
    UINT dpi = 0;
    bool menu = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--help" || option == L"-h") {
            tools::print(kUsage);
            return 0;
        }
        if (option == L"--menu") {
            menu = true;
            continue;
        }
        if (option == L"--version") {
            tools::print(L"player-panel " PLAYER_VERSION_WIDE L" (" PLAYER_ARCH_WIDE L")\n");
            return 0;
        }
        std::wstring* value = option == L"--dll"          ? &dll
                              : option == L"--exe"        ? &exe
                              : option == L"--ini"        ? &ini
                              : option == L"--screenshot" ? &screenshot
                                                          : nullptr;
        if (value == nullptr && option != L"--width" && option != L"--dpi")
            return fail(L"unknown option " + tools::visible(option) + L" (try --help)", 2);
        if (i + 1 >= argc)
            return fail(option + L" needs a value", 2);
        if (value != nullptr) {
            *value = argv[++i];
            if (value->empty() && value != &exe) // an empty --exe is a host without a player path
                return fail(option + L" needs a file, not an empty name", 2);
            continue;
        }
        wchar_t* end = nullptr;
        const long parsed = std::wcstol(argv[++i], &end, 10);
        if (option == L"--dpi") {
            if (*end != L'\0' || parsed < 96 || parsed > 480)
                return fail(L"--dpi must be a number from 96 to 480", 2);
            dpi = static_cast<UINT>(parsed);
            continue;
        }
        if (*end != L'\0' || parsed < player_panel::kMinWidth || parsed > player_panel::kMaxWidth)
            return fail(L"--width must be a number from 300 to 2000", 2);
        width = static_cast<int>(parsed);
    }
    if (menu && screenshot.empty())
        return fail(L"--menu is for --screenshot: it photographs the context menu", 2);
    if (dpi != 0 && screenshot.empty())
        return fail(L"--dpi is for --screenshot: the window draws at its monitor's DPI", 2);
    if (!screenshot.empty() && !player_panel::pictureFormatKnown(screenshot))
        return fail(L"--screenshot " + tools::visible(screenshot) +
                        L": writes .png, .bmp, .jpg (.jpeg) or .tif (.tiff) files",
                    2);

    tools::PluginLibrary plugin;
    std::wstring error;
    if (!tools::loadPlugin(dll, plugin, error))
        return fail(error);
    PlayerInstance* instance = plugin.InitPlayer(exe.c_str());
    if (instance == nullptr)
        return fail(L"InitPlayer returned no instance");
    int result = 0;
    {
        PanelWindow panel(plugin, instance, ini, width, dpi);
        const auto report = [&panel] {
            for (const std::wstring& problem : panel.takeProblems())
                tools::printError(L"player-panel: " + problem + L"\n");
        };
        // A picture is taken and the panel gone: it takes no keys from the desktop meanwhile.
        const bool created = panel.create(screenshot.empty() || menu, screenshot.empty());
        report(); // settings and hotkeys that are wrong are said at once, not at the end
        if (!created)
            result = fail(L"cannot create the panel's window: " + tools::systemMessage(GetLastError()));
        else if (menu) {
            if (!panel.photographMenu(screenshot, error))
                result = fail(error);
        } else if (!screenshot.empty()) {
            const player_panel::Layout& layout = panel.layout();
            if (!player_panel::savePicture(panel.window(), layout.width, layout.height, screenshot, error))
                result = fail(error);
        } else {
            MSG msg;
            while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageW(&msg);
            }
        }
        report();
    }
    plugin.DestroyPlayer(instance);
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const tools::ConsoleOutput console;
    // What the panel starts (the player, an editor for its settings) gets none of its
    // standard handles: a pipe of whoever started the panel must close when the panel ends.
    for (const DWORD standard : {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE})
        SetHandleInformation(GetStdHandle(standard), HANDLE_FLAG_INHERIT, 0);
    // Drawn for each monitor's DPI (its manifest says so too, for systems that read it).
    using SetAwarenessFn = BOOL(WINAPI*)(HANDLE);
    if (const auto setAwareness = reinterpret_cast<SetAwarenessFn>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"user32"), "SetProcessDpiAwarenessContext"))))
        setAwareness(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4))); // per monitor, v2
    // Accessibility clients reach the panel's controls through COM, on this thread.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int result = run(argc, argv);
    if (SUCCEEDED(com))
        CoUninitialize();
    return result;
}
