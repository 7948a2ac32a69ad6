// player-host: a command-line host for player.dll.
//
// Loads the library with LoadLibraryW and GetProcAddress exactly as a host
// application does, creates one instance for the player executable, restores the
// display settings from an INI file, carries out one subcommand, and writes the
// settings back when they changed. A player that does not answer costs it the
// plug-in's one second once: from then on the plug-in answers at once, and player-host
// says which values did not arrive, and so does its exit code.
#include "Console.h"
#include "ExitCodes.h"
#include "Host.h"
#include "Json.h"
#include "Menus.h"
#include "Names.h"
#include "Status.h"
#include "PluginLibrary.h"
#include "Probe.h"

#include "PlayerVersion.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cwchar>
#include <utility>
#include <optional>
#include <string>
#include <vector>

namespace {

using namespace player_host;
using tools::print;
using Args = std::vector<std::wstring>;

struct Options {
    bool raw = false;  // pass names to the plug-in unchecked
    bool json = false; // one JSON document on standard output
};

// What a subcommand needs of the player before it runs.
enum class Needs {
    Nothing,         // never talks to the player
    AnswerIfRunning, // works without a player, but not with one that does not answer
    Running,         // needs a running player that answers
};

struct Subcommand {
    const wchar_t* name;
    const wchar_t* arguments;
    const wchar_t* summary;
    std::size_t minArgs;
    std::size_t maxArgs;
    Needs needs;
    bool json; // --json gives one JSON document
    int (*run)(const Host&, const Args&, const Options&);
};

bool jsonOutput = false; // --json: one document on standard output, an error too

int fail(const std::wstring& message, int code = kError) {
    tools::printError(L"player-host: " + message + L"\n");
    if (jsonOutput && !documentPrinted())
        printDocument(JsonObject().add(L"error", message).add(L"exitCode", code).text());
    return code;
}

// What went wrong, in a command's own document.
JsonObject& withOutcome(JsonObject& document, const Outcome& outcome) {
    return withError(document, outcome.code, outcome.error);
}

int finish(const Outcome& outcome) {
    return outcome.code == kDone ? kDone : fail(outcome.error, outcome.code);
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

// A number argument within [low, high], or a usage error naming it.
bool numberIn(const std::wstring& text, int low, int high, int& value) {
    return toInt(text, value) && value >= low && value <= high;
}

// Asked once a command's arguments are known to be right, before it talks to the player.
// A player no call has found silent yet counts as running: its silence costs the first
// call the plug-in's second, and the command then says what did not arrive.
int playerCheck(const Host& host, Needs needs) {
    const Host::Player player = host.player();
    if (player == Host::Player::NotResponding)
        return fail(L"player not responding", kNotResponding);
    if (player == Host::Player::Absent && needs == Needs::Running)
        return fail(L"player not running", kNotRunning);
    return kDone;
}

// Why an answer did not come, as the plug-in knows it after the call; done when the
// player answers (and left the name out on purpose: a --raw name).
Outcome whyNoAnswer(const Host& host) {
    switch (host.player()) {
    case Host::Player::Absent:
        return {kNotRunning, L"player not running"};
    case Host::Player::NotResponding:
        return {kNotResponding, L"player not responding: the value did not arrive"};
    case Host::Player::Responding:
        break;
    }
    return {};
}

// An answer as printed; without one, why none came, and the plug-in's stand-in if it
// wrote one ("--:--" for the time, its name for the caption), which is no answer.
std::wstring shown(const std::optional<std::wstring>& answer, const Outcome& outcome,
                   const std::optional<std::wstring>& standIn) {
    if (answer)
        return tools::visible(*answer);
    std::wstring why =
        outcome.code == kNotRunning ? L"player not running" : L"not answered (player not responding)";
    if (standIn)
        why += L" (the plug-in shows \"" + tools::visible(*standIn) + L"\" in its place)";
    return why;
}

// A name the plug-in would not know, as a usage error with the nearest known name.
int unknownName(const wchar_t* command, const std::wstring& name,
                const std::vector<player_host::NameHelp>& names) {
    const std::wstring guess = player_host::nearest(names, name);
    return fail(std::wstring(command) + L": unknown name '" + tools::visible(name) + L"'" +
                    (guess.empty() ? L"" : L" (did you mean '" + guess + L"'?)") +
                    L"; player-host names lists them, --raw passes any",
                kUsage);
}

// The largest SIZE `text --raw` passes on: the buffer is made that large.
constexpr int kRawTextLimit = 1 << 24;

int runStatus(const Host& host, const Args&, const Options& options) {
    if (const int code = playerCheck(host, Needs::AnswerIfRunning); code != kDone)
        return code;
    const int missing = printStatus(host, options.json);
    if (missing == kStatusNotRunning)
        return kNotRunning; // said in the status itself, so that a script can tell too
    if (missing == 0)
        return kDone;
    return fail(L"player not responding: " + std::to_wstring(missing) +
                    (missing == 1 ? L" value" : L" values") + L" did not arrive",
                kNotResponding);
}

int runWatch(const Host& host, const Args& args, const Options&) {
    if (!args.empty() && args[0] == L"--follow") {
        if (const int code = playerCheck(host, Needs::Running); code != kDone)
            return code;
        follow(host); // through any hang, until the player goes
        return fail(L"player quit", kNotRunning);
    }
    int seconds = 10;
    if (!args.empty() && !numberIn(args[0], 1, 86400, seconds))
        return fail(L"watch: SECONDS must be a number from 1 to 86400, or --follow", kUsage);
    watch(host, seconds); // a line a second, the player absent, hung or playing
    return kDone;
}

// The executable that "play" would start, or an error when there is none to start.
int checkExecutable(const Host& host) {
    const std::wstring& path = host.exePath();
    if (!path.empty() && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return kDone;
    return fail(L"player executable not found: " +
                (path.empty() ? L"(none given with --exe)" : tools::visible(path)));
}

int runCmd(const Host& host, const Args& args, const Options& options) {
    int value = 0;
    if (args.size() > 1 && !toInt(args[1], value))
        return fail(L"cmd: VALUE must be a 32-bit number", kUsage);
    if (!options.raw && !isKnown(namesOf(NameKind::Command), args[0]))
        return unknownName(L"cmd", args[0], namesOf(NameKind::Command));
    const WithoutPlayer withoutPlayer = commandWithoutPlayer(args[0], value);
    Host::Player player = host.player();
    // One question first, so that a player that does not answer is known before the command.
    if (player == Host::Player::Responding && withoutPlayer != WithoutPlayer::ChangesASetting &&
        !host.state(L"playpause"))
        player = host.player();
    if (player == Host::Player::Absent) {
        switch (withoutPlayer) {
        case WithoutPlayer::StartsIt:
            if (const int code = checkExecutable(host); code != kDone)
                return code;
            break;
        case WithoutPlayer::DoesNothing:
            return fail(L"player not running: cmd " + tools::visible(args[0]) +
                            L" needs it (only play and playpause start it; tracktime with 0 is a setting)",
                        kNotRunning);
        case WithoutPlayer::ChangesASetting:
            break;
        }
    }
    host.command(args[0].c_str(), value);
    print(L"sendCmd(\"" + tools::visible(args[0]) + L"\", " + std::to_wstring(value) + L")\n");
    if (player == Host::Player::NotResponding && withoutPlayer != WithoutPlayer::ChangesASetting)
        return fail(L"player not responding: the command waits in its queue, and is carried out when it "
                    L"answers again",
                    kNotResponding);
    return kDone;
}

// A state's or a text's answer, or why none came: a line, or with --json one document
// with the answer under `key` (null without one, the plug-in's stand-in apart).
int reportWord(const Host& host, const Options& options, const std::wstring& name, const wchar_t* key,
               const std::optional<std::wstring>& answer, const std::optional<std::wstring>& standIn = {}) {
    const Outcome outcome = answer ? Outcome{} : whyNoAnswer(host);
    if (options.json) {
        JsonObject document;
        document.add(L"name", name).add(key, answer);
        if (standIn)
            document.add(L"standIn", *standIn);
        printDocument(withOutcome(document, outcome).text());
    } else {
        print(shown(answer, outcome, standIn) + L"\n");
    }
    return finish(outcome);
}

// An export carried out for the user, with its one number: its call as a line
// ("invokeMenu(\"*playlist\", 3)"), or with --json one document.
void reportCall(const Options& options, const wchar_t* exportName, const wchar_t* listName,
                const wchar_t* key, int value, const Outcome& outcome) {
    if (options.json) {
        JsonObject document;
        document.add(L"called", exportName).add(key, value);
        printDocument(withOutcome(document, outcome).text());
        return;
    }
    print(std::wstring(exportName) + L"(" +
          (listName != nullptr ? L"\"" + std::wstring(listName) + L"\", " : L"") + std::to_wstring(value) +
          L")\n");
}

int runState(const Host& host, const Args& args, const Options& options) {
    if (!options.raw && !isKnown(namesOf(NameKind::State), args[0]))
        return unknownName(L"state", args[0], namesOf(NameKind::State));
    if (const int code = playerCheck(host, Needs::Running); code != kDone)
        return code;
    return reportWord(host, options, args[0], L"state", host.state(args[0].c_str()));
}

int runText(const Host& host, const Args& args, const Options& options) {
    int size = 512;
    if (args.size() > 1) {
        const bool inRange =
            options.raw ? toInt(args[1], size) && size <= kRawTextLimit : numberIn(args[1], 1, 65536, size);
        if (!inRange)
            return fail(options.raw
                            ? L"text: SIZE must be a 32-bit number up to 16777216 (the buffer is made "
                              L"that large)"
                            : L"text: SIZE must be a number from 1 to 65536 (a size of 0 or less writes "
                              L"nothing; --raw passes it)",
                        kUsage);
    }
    if (!options.raw && !isKnown(namesOf(NameKind::Text), args[0]))
        return unknownName(L"text", args[0], namesOf(NameKind::Text));
    if (const int code = playerCheck(host, Needs::AnswerIfRunning); code != kDone)
        return code;
    std::optional<std::wstring> standIn;
    const std::optional<std::wstring> answer = host.text(args[0].c_str(), size, &standIn);
    if (size <= 0) { // --raw: the plug-in writes nothing into no room, whatever the player says
        if (options.json)
            printDocument(JsonObject().add(L"name", args[0]).add(L"text", answer).add(L"size", size).text());
        else
            print(L"nothing written: getText writes nothing with a size of " + std::to_wstring(size) + L"\n");
        return kDone;
    }
    return reportWord(host, options, args[0], L"text", answer, standIn);
}

int runProp(const Host& host, const Args& args, const Options& options) {
    int kind = 0;
    if (!toInt(args[1], kind) || (!options.raw && (kind < 1 || kind > 6)))
        return fail(L"prop: KIND must be a number from 1 to 6 (player-host names says what each gives)",
                    kUsage);
    if (!options.raw && !propertyTakes(kind, args[0])) {
        const std::wstring kinds = kindsTaking(args[0]);
        if (!kinds.empty())
            return fail(L"prop: kind " + std::to_wstring(kind) + L" does not take '" +
                            tools::visible(args[0]) + L"'; it takes kinds " + kinds,
                        kUsage);
        return unknownName(L"prop", args[0], propertyNames(kind));
    }
    if (const int code = playerCheck(host, Needs::Running); code != kDone)
        return code;
    const std::optional<int> value = host.prop(args[0].c_str(), kind);
    Outcome outcome;
    if (!value) {
        outcome = whyNoAnswer(host);
        if (outcome.code == kDone) // the plug-in cannot tell; the call took its whole second
            outcome = {kNotResponding,
                       L"player not responding: the value did not arrive within the call's second"};
    }
    if (options.json) {
        JsonObject document;
        document.add(L"name", args[0]).add(L"kind", kind);
        document.addJson(L"value", value ? std::to_wstring(*value) : L"null");
        printDocument(withOutcome(document, outcome).text());
    } else {
        print((value ? std::to_wstring(*value) : L"not answered") + L"\n");
    }
    return finish(outcome);
}

int runMenu(const Host& host, const Args& args, const Options& options) {
    int item = 0;
    if (!args.empty() && !toInt(args[0], item))
        return fail(L"menu: K must be a number", kUsage);
    if (const int code = playerCheck(host, Needs::AnswerIfRunning); code != kDone)
        return code;
    if (args.empty()) {
        return finish(printContextMenu(host, options.json));
    }
    const std::vector<int> items = contextMenuItems(host);
    if (!options.raw && std::find(items.begin(), items.end(), item) == items.end()) {
        std::wstring offered;
        for (int k : items)
            offered += (offered.empty() ? L"" : L", ") + std::to_wstring(k);
        return fail(L"menu: no item " + std::to_wstring(item) + L" in the menu now (it offers " + offered +
                        L")",
                    kUsage);
    }
    if (item == kRunPlayerItem && host.player() == Host::Player::Absent)
        if (const int code = checkExecutable(host); code != kDone)
            return code;
    host.plugin().invokeCtxMenu(host.instance(), item);
    const Outcome outcome = host.player() == Host::Player::NotResponding
                                ? Outcome{kNotResponding, L"player not responding: the command waits in its "
                                                          L"queue, and is carried out when it answers again"}
                                : Outcome{};
    reportCall(options, L"invokeCtxMenu", nullptr, L"item", item, outcome);
    return finish(outcome);
}

int runPlaylist(const Host& host, const Args& args, const Options& options) {
    if (args.empty() || args[0] == L"--limit") {
        int limit = INT_MAX;
        if (!args.empty()) {
            if (args.size() != 2)
                return fail(L"playlist: --limit needs a number", kUsage);
            if (!numberIn(args[1], 1, INT_MAX, limit))
                return fail(L"playlist: --limit " + tools::visible(args[1]) +
                                L" is out of range: N must be a number from 1 to 2147483647",
                            kUsage);
        }
        if (const int code = playerCheck(host, Needs::Running); code != kDone)
            return code;
        const PlaylistListing listing = printPlaylist(host, limit, options.json);
        return finish({listing.exitCode(), listing.error()});
    }
    if (args.size() != 1)
        return fail(L"wrong number of arguments for 'playlist'; usage: player-host playlist [N | --limit N]",
                    kUsage);
    int id = 0;
    if (options.raw && !toInt(args[0], id))
        return fail(L"playlist: N must be a 32-bit number", kUsage);
    if (const int code = playerCheck(host, Needs::Running); code != kDone)
        return code;
    if (!options.raw) {
        const int count = playlistLength(host);
        if (count == 0 && host.player() != Host::Player::Responding)
            return finish(whyNoAnswer(host));
        if (!toInt(args[0], id) || id < 1 || id > count)
            return fail(count > 0 ? L"playlist: N must be a number from 1 to " + std::to_wstring(count)
                                  : std::wstring(L"playlist: the player has no playlist"),
                        kUsage);
    }
    host.plugin().invokeMenu(host.instance(), PLAYER_PLAYLIST_NAME, id);
    reportCall(options, L"invokeMenu", PLAYER_PLAYLIST_NAME, L"id", id, {});
    return kDone;
}

int runHotkeys(const Host& host, const Args&, const Options& options) {
    printHotkeys(host.plugin(), options.json);
    return kDone;
}

int runProbe(const Host&, const Args&, const Options& options) {
    const int problems = probe(options.json);
    if (problems == kProbeNotRunning)
        return kNotRunning;
    if (problems == kProbeNotResponding)
        return kNotResponding;
    return problems == 0 ? kDone : kError;
}

int runNames(const Host&, const Args&, const Options&) {
    print(namesText());
    return kDone;
}

constexpr Subcommand kSubcommands[] = {
    {L"status", L"", L"the now-playing panel", 0, 0, Needs::AnswerIfRunning, true, runStatus},
    {L"watch", L"[SECONDS | --follow]",
     L"the track line once a second (10 s), or at each change with --follow", 0, 1, Needs::AnswerIfRunning,
     false, runWatch},
    {L"cmd", L"NAME [VALUE]", L"sendCmd: carry out a command (player-host names lists them)", 1, 2,
     Needs::AnswerIfRunning, false, runCmd},
    {L"state", L"NAME", L"getState: play/pause or on/off", 1, 1, Needs::Running, true, runState},
    {L"text", L"NAME [SIZE]", L"getText: a text of the track, into a buffer of SIZE (512) characters", 1, 2,
     Needs::AnswerIfRunning, true, runText},
    {L"prop", L"NAME KIND", L"getProp: a number; KIND 1 to 6 (player-host names)", 2, 2, Needs::Running, true,
     runProp},
    {L"menu", L"[K]", L"print the context menu, or carry out its item K", 0, 1, Needs::AnswerIfRunning, true,
     runMenu},
    {L"playlist", L"[N | --limit N]", L"list the playlist (its first N entries), or play entry N", 0, 2,
     Needs::Running, true, runPlaylist},
    {L"hotkeys", L"", L"list the hotkey commands", 0, 0, Needs::Nothing, true, runHotkeys},
    {L"probe", L"", L"check the running player against the protocol, for player authors", 0, 0,
     Needs::Nothing, true, runProbe},
    {L"names", L"", L"the names cmd, state, text and prop accept, and what each does", 0, 0, Needs::Nothing,
     false, runNames},
};

std::wstring usage() {
    std::wstring text =
        L"usage: player-host [--dll PATH] [--exe PATH] [--ini PATH] [--raw] [--json] COMMAND [ARGS]\n"
        L"       player-host help [COMMAND] | COMMAND --help | --version\n";
    for (const Subcommand& sub : kSubcommands) {
        std::wstring line = std::wstring(sub.name) + L" " + sub.arguments;
        line.resize(std::max<std::size_t>(line.size() + 2, 32), L' ');
        text += L"  " + line + sub.summary + L"\n";
    }
    text +=
        L"Options: --dll the plug-in (player.dll beside this program, or in the bundle x86\\ or x64\\),\n"
        L"  --exe the player it starts (remote-player.exe beside this program),\n"
        L"  --ini the display settings file (" +
        tools::defaultSettingsPath(L"player-host.ini") +
        L",\n"
        L"  made at the first save), --raw pass names, and the numbers of menu, playlist, prop and text,\n"
        L"  unchecked, --json one JSON document (status, state, text, prop, menu, playlist, hotkeys,\n"
        L"  probe). --raw and --json may come before or after the command.\n"
        L"Exit codes: 0 done, 1 error, 2 usage, 3 player not running (commands that need one),\n"
        L"  4 player not responding, 5 incomplete (a playlist whose texts did not all arrive).\n";
    return text;
}

std::wstring commandHelp(const Subcommand& sub) {
    std::wstring text = L"usage: player-host " + std::wstring(sub.name) + L" " + sub.arguments + L"\n  " +
                        sub.summary + L"\n";
    if (sub.needs == Needs::Running)
        text += L"  Needs a running player (exit code 3 without one).\n";
    if (sub.run == runCmd || sub.run == runState || sub.run == runText || sub.run == runProp)
        text += L"  player-host names lists the names it accepts.\n";
    return text;
}

const Subcommand* findSubcommand(const std::wstring& name) {
    for (const Subcommand& candidate : kSubcommands)
        if (name == candidate.name)
            return &candidate;
    return nullptr;
}

bool isHelp(const std::wstring& arg) {
    return arg == L"--help" || arg == L"-h";
}

int run(int argc, wchar_t** argv) {
    std::wstring dll = tools::defaultPluginPath();
    std::wstring exe = tools::besideProgram(L"remote-player.exe");
    std::wstring ini = tools::defaultSettingsPath(L"player-host.ini");
    Options options;
    int i = 1;
    for (; i < argc && argv[i][0] == L'-'; ++i) {
        const std::wstring option = argv[i];
        if (isHelp(option)) {
            print(usage());
            return kDone;
        }
        if (option == L"--version") {
            print(L"player-host " PLAYER_VERSION_WIDE L" (" PLAYER_ARCH_WIDE L")\n");
            return kDone;
        }
        if (option == L"--raw" || option == L"--json") {
            (option == L"--raw" ? options.raw : options.json) = true;
            jsonOutput = options.json;
            continue;
        }
        std::wstring* value = option == L"--dll"   ? &dll
                              : option == L"--exe" ? &exe
                              : option == L"--ini" ? &ini
                                                   : nullptr;
        if (value == nullptr)
            return fail(L"unknown option " + tools::visible(option) + L" (try --help)", kUsage);
        if (i + 1 >= argc)
            return fail(option + L" needs a value", kUsage);
        *value = argv[++i];
        if (value->empty() && value != &exe) // an empty --exe is a host without a player path
            return fail(option + L" needs a file, not an empty name", kUsage);
    }
    if (i >= argc)
        return fail(L"no command given (try --help)", kUsage);

    const std::wstring name = argv[i];
    Args args(argv + i + 1, argv + argc);
    // --json and --raw may follow the command too: player-host status --json.
    for (const auto& [flag, set] : {std::pair{L"--json", &options.json}, std::pair{L"--raw", &options.raw}})
        if (const auto found = std::find(args.begin(), args.end(), flag); found != args.end()) {
            *set = true;
            args.erase(found);
        }
    jsonOutput = options.json;
    if (name == L"help") {
        if (options.json)
            return fail(L"--json is not offered by 'help'", kUsage);
        if (args.empty()) {
            print(usage());
            return kDone;
        }
        if (args[0] == L"help") {
            print(L"usage: player-host help [COMMAND]\n  usage, or what COMMAND does and takes\n");
            return kDone;
        }
        const Subcommand* sub = findSubcommand(args[0]);
        if (sub == nullptr)
            return fail(L"help: unknown command '" + tools::visible(args[0]) + L"'", kUsage);
        print(commandHelp(*sub));
        return kDone;
    }
    const Subcommand* subcommand = findSubcommand(name);
    if (subcommand == nullptr)
        return fail(L"unknown command '" + tools::visible(name) + L"' (try --help)", kUsage);
    if (!args.empty() && isHelp(args[0])) {
        print(commandHelp(*subcommand));
        return kDone;
    }
    if (options.json && !subcommand->json)
        return fail(L"--json is not offered by '" + name + L"'", kUsage);
    if (args.size() < subcommand->minArgs || args.size() > subcommand->maxArgs)
        return fail(L"wrong number of arguments for '" + name + L"'; usage: player-host " + name + L" " +
                        subcommand->arguments,
                    kUsage);

    tools::PluginLibrary plugin;
    std::wstring error;
    if (!tools::loadPlugin(dll, plugin, error))
        return fail(error);
    Host host(plugin, exe, ini);
    if (host.instance() == nullptr)
        return fail(L"InitPlayer returned no instance");
    host.restoreSettings();
    const int result = subcommand->run(host, args, options);
    switch (host.saveSettingsIfChanged(error)) {
    case Host::Saved::Written: // beside a JSON document, not in it
        (options.json ? tools::printError
                      : tools::print)(L"(display settings saved to " + host.iniPath() + L")\n");
        break;
    case Host::Saved::Failed:
        return fail(error);
    case Host::Saved::Unchanged:
        break;
    }
    return result;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const tools::ConsoleOutput console; // UTF-8 while it runs, the console's own code page after
    return run(argc, argv);
}
