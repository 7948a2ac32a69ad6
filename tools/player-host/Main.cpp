// player-host: a command-line host for player.dll.
//
// Loads the library with LoadLibraryW and GetProcAddress exactly as a host
// application does, creates one instance for the player executable, restores the
// display settings from an INI file, carries out one subcommand, and writes the
// settings back when the plug-in reports a change.
#include "Console.h"
#include "Host.h"
#include "Menus.h"
#include "Panel.h"
#include "PluginLibrary.h"
#include "Probe.h"

#include "PlayerVersion.h"

#include <windows.h>
#include <cwchar>
#include <string>
#include <vector>

namespace {

using player_host::Host;
using tools::print;
using Args = std::vector<std::wstring>;

constexpr wchar_t kUsage[] = L"usage: player-host [--dll PATH] [--exe PATH] [--ini PATH] COMMAND [ARGS]\n"
                             L"       player-host --help | --version\n"
                             L"  status               the now-playing panel\n"
                             L"  watch [SECONDS]      the panel's track line once a second (default 10)\n"
                             L"  cmd NAME [VALUE]     sendCmd\n"
                             L"  state NAME           getState\n"
                             L"  text NAME [SIZE]     getText\n"
                             L"  prop NAME KIND       getProp\n"
                             L"  menu [K]             print the context menu, or carry out its item K\n"
                             L"  playlist [N]         list the playlist, or play its entry N\n"
                             L"  hotkeys              list the hotkey commands\n"
                             L"  probe                check the running player against the protocol\n"
                             L"Defaults: player.dll and remote-player.exe beside this program, settings in "
                             L"player-host.ini beside it.\n";

int fail(const std::wstring& message, int code = 1) {
    tools::printError(L"player-host: " + message + L"\n");
    return code;
}

bool toInt(const std::wstring& text, int& value) {
    if (text.empty())
        return false;
    wchar_t* end = nullptr;
    const long long parsed = std::wcstoll(text.c_str(), &end, 10);
    if (*end != L'\0' || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

std::wstring shown(const std::optional<std::wstring>& answer) {
    return answer ? *answer : std::wstring(L"(no answer: buffer unchanged)");
}

int runStatus(const Host& host, const Args&) {
    player_host::printStatus(host);
    return 0;
}

int runWatch(const Host& host, const Args& args) {
    int seconds = 10;
    if (!args.empty() && (!toInt(args[0], seconds) || seconds < 1))
        return fail(L"watch: SECONDS must be a positive number", 2);
    player_host::watch(host, seconds);
    return 0;
}

int runCmd(const Host& host, const Args& args) {
    int value = 0;
    if (args.size() > 1 && !toInt(args[1], value))
        return fail(L"cmd: VALUE must be a number", 2);
    host.command(args[0].c_str(), value);
    print(L"sendCmd(\"" + args[0] + L"\", " + std::to_wstring(value) + L")\n");
    return 0;
}

int runState(const Host& host, const Args& args) {
    print(shown(host.state(args[0].c_str())) + L"\n");
    return 0;
}

int runText(const Host& host, const Args& args) {
    int size = 512;
    if (args.size() > 1 && (!toInt(args[1], size) || size > 65536))
        return fail(L"text: SIZE must be a number up to 65536", 2);
    print(shown(host.text(args[0].c_str(), size)) + L"\n");
    return 0;
}

int runProp(const Host& host, const Args& args) {
    int kind = 0;
    if (!toInt(args[1], kind))
        return fail(L"prop: KIND must be a number", 2);
    print(std::to_wstring(host.prop(args[0].c_str(), kind)) + L"\n");
    return 0;
}

int runMenu(const Host& host, const Args& args) {
    if (args.empty()) {
        player_host::printContextMenu(host);
        return 0;
    }
    int item = 0;
    if (!toInt(args[0], item))
        return fail(L"menu: K must be a number", 2);
    host.plugin().invokeCtxMenu(host.instance(), item);
    print(L"invokeCtxMenu(" + std::to_wstring(item) + L")\n");
    return 0;
}

int runPlaylist(const Host& host, const Args& args) {
    if (args.empty()) {
        player_host::printPlaylist(host);
        return 0;
    }
    int id = 0;
    if (!toInt(args[0], id))
        return fail(L"playlist: N must be a number", 2);
    host.plugin().invokeMenu(host.instance(), L"*playlist", id);
    print(L"invokeMenu(\"*playlist\", " + std::to_wstring(id) + L")\n");
    return 0;
}

int runHotkeys(const Host& host, const Args&) {
    player_host::printHotkeys(host.plugin());
    return 0;
}

int runProbe(const Host&, const Args&) {
    const int problems = player_host::probe();
    return problems == 0 ? 0 : 1;
}

struct Subcommand {
    const wchar_t* name;
    std::size_t minArgs;
    std::size_t maxArgs;
    int (*run)(const Host&, const Args&);
};

constexpr Subcommand kSubcommands[] = {
    {L"status", 0, 0, runStatus}, {L"watch", 0, 1, runWatch},       {L"cmd", 1, 2, runCmd},
    {L"state", 1, 1, runState},   {L"text", 1, 2, runText},         {L"prop", 2, 2, runProp},
    {L"menu", 0, 1, runMenu},     {L"playlist", 0, 1, runPlaylist}, {L"hotkeys", 0, 0, runHotkeys},
    {L"probe", 0, 0, runProbe},
};

// player.dll beside this program, or where the release bundle keeps it: the tools
// sit in tools/ARCH/, the plug-in in ARCH/.
std::wstring defaultLibrary() {
    const std::wstring beside = tools::besideProgram(L"player.dll");
    if (GetFileAttributesW(beside.c_str()) != INVALID_FILE_ATTRIBUTES)
        return beside;
    return tools::besideProgram(L"..\\..\\" PLAYER_ARCH_WIDE L"\\player.dll");
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    std::wstring dll = defaultLibrary();
    std::wstring exe = tools::besideProgram(L"remote-player.exe");
    std::wstring ini = tools::besideProgram(L"player-host.ini");
    int i = 1;
    for (; i < argc && argv[i][0] == L'-' && argv[i][1] == L'-'; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--help") {
            print(kUsage);
            return 0;
        }
        if (option == L"--version") {
            print(L"player-host " PLAYER_VERSION_WIDE L" (" PLAYER_ARCH_WIDE L")\n");
            return 0;
        }
        if (i + 1 >= argc)
            return fail(option + L" needs a value", 2);
        if (option == L"--dll")
            dll = argv[++i];
        else if (option == L"--exe")
            exe = argv[++i];
        else if (option == L"--ini")
            ini = argv[++i];
        else
            return fail(L"unknown option " + option + L" (try --help)", 2);
    }
    if (i >= argc)
        return fail(L"no command given (try --help)", 2);

    const std::wstring name = argv[i];
    const Args args(argv + i + 1, argv + argc);
    const Subcommand* subcommand = nullptr;
    for (const Subcommand& candidate : kSubcommands)
        if (name == candidate.name)
            subcommand = &candidate;
    if (subcommand == nullptr)
        return fail(L"unknown command '" + name + L"' (try --help)", 2);
    if (args.size() < subcommand->minArgs || args.size() > subcommand->maxArgs)
        return fail(L"wrong number of arguments for '" + name + L"' (try --help)", 2);

    tools::PluginLibrary plugin;
    std::wstring error;
    if (!tools::loadPlugin(dll, plugin, error))
        return fail(error);
    Host host(plugin, exe, ini);
    if (host.instance() == nullptr)
        return fail(L"InitPlayer returned no instance");
    host.restoreSettings();
    const int result = subcommand->run(host, args);
    if (host.saveSettingsIfChanged())
        print(L"(display settings saved to " + ini + L")\n");
    return result;
}
