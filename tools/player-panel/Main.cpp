// player-panel: a windowed host of player.dll, the way a desktop widget hosts it,
// and a camera for it.
//   player-panel [--dll PATH] [--exe PATH] [--ini PATH] [--width W]
//   player-panel --screenshot FILE.png [--width W] ...   draws the panel once and exits
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
    L"usage: player-panel [--dll PATH] [--exe PATH] [--ini PATH] [--width W] [--screenshot FILE.png]\n"
    L"  A panel for the player: click the buttons, toggles, stars and sliders, the time to switch\n"
    L"  remaining/elapsed, the mouse wheel on the volume; right-click for the context menu.\n"
    L"  --screenshot FILE.png  draw the panel once into a PNG file and exit\n"
    L"  --width W              the panel's width in pixels, 300 to 2000 (360)\n"
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
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--help" || option == L"-h") {
            tools::print(kUsage);
            return 0;
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
        if (value == nullptr && option != L"--width")
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
        if (*end != L'\0' || parsed < player_panel::kMinWidth || parsed > player_panel::kMaxWidth)
            return fail(L"--width must be a number from 300 to 2000", 2);
        width = static_cast<int>(parsed);
    }

    tools::PluginLibrary plugin;
    std::wstring error;
    if (!tools::loadPlugin(dll, plugin, error))
        return fail(error);
    PlayerInstance* instance = plugin.InitPlayer(exe.c_str());
    if (instance == nullptr)
        return fail(L"InitPlayer returned no instance");
    int result = 0;
    {
        PanelWindow panel(plugin, instance, ini, width);
        const auto report = [&panel] {
            for (const std::wstring& problem : panel.takeProblems())
                tools::printError(L"player-panel: " + problem + L"\n");
        };
        const bool created = panel.create(screenshot.empty());
        report(); // settings and hotkeys that are wrong are said at once, not at the end
        if (!created)
            result = fail(L"cannot create the panel's window: " + tools::systemMessage(GetLastError()));
        else if (!screenshot.empty()) {
            const player_panel::Layout layout = player_panel::layoutFor(width);
            if (!player_panel::savePicture(panel.window(), layout.width, player_panel::kPanelHeight,
                                           screenshot, error))
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
    return run(argc, argv);
}
