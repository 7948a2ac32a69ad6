// player-bench: what player.dll costs over the plain Win32 sequence a hand-written
// host would use for the same answer (FindWindowW, then the same SendMessageW /
// PostMessageW calls and GetWindowTextW), against the reference player in its own
// process. Both run in the same process and the same rounds, in alternating order;
// each figure is the median over the rounds of the time per call.
//   player-bench [--rounds N]
//   player-bench --bound             only what a player naming millions of entries costs a call
//   player-bench --refresh           only a host's refreshes against a silent player
//   player-bench --slow              only a host's refreshes against players answering slowly
//   player-bench --host-trouble      only a worker that met a silence, a second host stuck in its
//                                    window procedure, and requests nested in a window procedure
//   player-bench --side-by-side N    only hosts side by side, N texts each (exit 1 if any crossed)
//   player-bench --panel             only the panel's own window while it polls a slow or silent player
//   player-bench --messages          only what the panel and player-host status ask a prompt player
//   player-bench --panel-steady      only the panel's title line against sluggish and pausing players
//   player-bench --calls [ROUNDS]    only the single calls against the reference player
//   player-bench --window [N]        only how fast the player window running now (the MPRIS
//                                    bridge's, say) answers N refreshes (10) of 16 messages
#include "Console.h"
#include "HostMessages.h"
#include "HostRefresh.h"
#include "HostTrouble.h"
#include "ImportCounter.h"
#include "PanelFreeze.h"
#include "PanelSteady.h"
#include "ReferencePlayer.h"
#include "SideBySide.h"
#include "SilentRefresh.h"
#include "SteadyRefresh.h"
#include "WindowAnswers.h"
#include "WindowThread.h"
#include "PlayerVersion.h"
#include "PluginLibrary.h"
#include "PlayerRemote.h"

#include <windows.h>

#include <algorithm>
#include <thread>
#include <atomic>
#include <functional>
#include <random>
#include <string>
#include <utility>
#include <vector>

namespace {

using bench::findPlayer;
using bench::ReferencePlayer;
using tools::print;

double now() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return counter.QuadPart / frequency;
}

// --- The plain sequences a host would write by hand -------------------------------

void plainState(wchar_t* out) {
    if (HWND w = findPlayer())
        lstrcpyW(out, SendMessageW(w, RM_STATE_PLAYPAUSE, 0, 0) ? L"play" : L"pause");
}

void plainTitle(wchar_t* out, int size) {
    if (HWND w = findPlayer()) {
        if (SendMessageW(w, RM_TEXT_TITLE, 0, 0))
            GetWindowTextW(w, out, size);
        else
            out[0] = L'\0';
    }
}

void plainTrackTime(wchar_t* out) {
    HWND w = findPlayer();
    const int length = w ? static_cast<int>(SendMessageW(w, RM_GET_TRACKLENGTH, 0, 0)) : 0;
    if (length == 0) {
        lstrcpyW(out, L"--:--");
        return;
    }
    const int position = static_cast<int>(SendMessageW(w, RM_GET_POSITION, 0, 0));
    const int seconds = std::max(0, length - position);
    wsprintfW(out, L"%d:%02d", seconds / 60, seconds % 60);
}

int plainVolume() {
    HWND w = findPlayer();
    return w ? static_cast<int>(SendMessageW(w, RM_GET_VOLUME, 0, 0)) : 0;
}

void plainNext() {
    if (HWND w = findPlayer())
        PostMessageW(w, RM_NEXT, 0, 0);
}

void insert(HMENU menu, UINT position, MENUITEMINFOW& item, UINT id, const wchar_t* text, bool checked) {
    item.wID = id;
    item.dwTypeData = const_cast<wchar_t*>(text);
    item.cch = static_cast<UINT>(lstrlenW(text));
    item.fState = checked ? MFS_CHECKED : 0;
    InsertMenuItemW(menu, position, TRUE, &item);
}

int plainContextMenu(HMENU menu, UINT first) {
    HWND w = findPlayer();
    MENUITEMINFOW item{};
    item.cbSize = sizeof(item);
    item.fMask = MIIM_STATE | MIIM_ID | MIIM_TYPE;
    if (!w) {
        insert(menu, 0, item, first + 1, L"Run default player", false);
        return 1;
    }
    insert(menu, 0, item, first + 2, L"Close player", false);
    InsertMenuW(menu, 1, MF_BYPOSITION | MF_SEPARATOR, 0, L"");
    insert(menu, 2, item, first + 3, L"Repeat", SendMessageW(w, RM_STATE_REPEAT, 0, 0) != 0);
    insert(menu, 3, item, first + 4, L"Shuffle", SendMessageW(w, RM_STATE_SHUFFLE, 0, 0) != 0);
    if (!SendMessageW(w, RM_IS_SUPPORTED, RM_GET_RATING, 0))
        return 4;
    HMENU rate = CreatePopupMenu();
    item.fType = MFT_RADIOCHECK;
    const wchar_t* texts[] = {L"1 Star", L"2 Stars", L"3 Stars", L"4 Stars", L"5 Stars", L"Unrated"};
    const int stars[] = {1, 2, 3, 4, 5, 0};
    for (UINT i = 0; i < 6; ++i)
        insert(rate, i, item, first + (stars[i] ? 5 + stars[i] : 5), texts[i],
               SendMessageW(w, RM_GET_RATING, 0, 0) == stars[i]);
    item.fMask = MIIM_SUBMENU | MIIM_TYPE;
    item.fType = MFT_STRING;
    item.hSubMenu = rate;
    item.dwTypeData = const_cast<wchar_t*>(L"Rate");
    item.cch = 4;
    InsertMenuItemW(menu, 4, TRUE, &item);
    return 11;
}

PlaylistMenuItem* plainPlaylist() {
    HWND w = findPlayer();
    if (!w)
        return nullptr;
    const int count = static_cast<int>(SendMessageW(w, RM_PLAYLIST_COUNT, 0, 0));
    if (count <= 0)
        return nullptr;
    const int current = static_cast<int>(SendMessageW(w, RM_PLAYLIST_CURRENT, 0, 0));
    auto* items = static_cast<PlaylistMenuItem*>(
        HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, (count + 1) * sizeof(PlaylistMenuItem)));
    for (int i = 0; i < count; ++i) {
        SendMessageW(w, RM_PLAYLIST_ITEMTEXT, static_cast<WPARAM>(i), 0);
        GetWindowTextW(w, items[i].text, 255);
        items[i].id = i + 1;
        items[i].flags = i == current ? 3 : 2;
    }
    return items;
}

// --- Measuring ----------------------------------------------------------------------

struct Case {
    std::wstring label;
    int callsPerBlock;
    std::function<void()> plugin;
    std::function<void()> plain;
};

struct Result {
    std::wstring label;
    double plugin; // seconds per call, median of the rounds
    double plain;
    double ratioLow; // the 95% confidence interval of plugin / plain
    double ratioHigh;
};

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// The 95% confidence interval of median(plugin) / median(plain), by the bootstrap:
// the rounds drawn again with replacement, 2,000 times, each round keeping its pair.
std::pair<double, double> ratioInterval(const std::vector<double>& plugin, const std::vector<double>& plain) {
    std::mt19937 random(12345); // fixed: the same rounds give the same interval
    std::uniform_int_distribution<std::size_t> pickRound(0, plugin.size() - 1);
    std::vector<double> ratios;
    std::vector<double> pluginSample(plugin.size()), plainSample(plain.size());
    for (int resample = 0; resample < 2000; ++resample) {
        for (std::size_t i = 0; i < plugin.size(); ++i) {
            const std::size_t round = pickRound(random);
            pluginSample[i] = plugin[round];
            plainSample[i] = plain[round];
        }
        ratios.push_back(median(pluginSample) / median(plainSample));
    }
    std::sort(ratios.begin(), ratios.end());
    return {ratios[ratios.size() * 25 / 1000], ratios[ratios.size() * 975 / 1000 - 1]};
}

// What the interval says against the target of at most 5% over the plain sequence.
const wchar_t* verdict(const Result& r) {
    if (r.plugin >= 0.95)
        return L"ends at the 1 s budget";
    if (r.ratioLow > 1.05)
        return L"above target";
    if (r.ratioLow <= 1.0 && r.ratioHigh >= 1.0)
        return L"within noise";
    return r.ratioHigh < 1.0 ? L"faster" : L"within target";
}

double perCall(const std::function<void()>& call, int calls) {
    const double start = now();
    for (int i = 0; i < calls; ++i)
        call();
    return (now() - start) / calls;
}

// Each round alternates short blocks of both sides, so that drift in the machine's
// state (Wine's server, the other core) falls on both alike.
Result measure(const Case& c, int rounds) {
    c.plugin(); // warm both paths first
    c.plain();
    const int slices = std::min(10, c.callsPerBlock);
    const int callsPerSlice = std::max(1, c.callsPerBlock / slices);
    std::vector<double> plugin, plain;
    for (int round = 0; round < rounds; ++round) {
        double pluginTime = 0, plainTime = 0;
        for (int slice = 0; slice < slices; ++slice) {
            if ((round + slice) % 2 == 0) {
                pluginTime += perCall(c.plugin, callsPerSlice);
                plainTime += perCall(c.plain, callsPerSlice);
            } else {
                plainTime += perCall(c.plain, callsPerSlice);
                pluginTime += perCall(c.plugin, callsPerSlice);
            }
        }
        plugin.push_back(pluginTime / slices);
        plain.push_back(plainTime / slices);
    }
    const auto [low, high] = ratioInterval(plugin, plain);
    return {c.label, median(plugin), median(plain), low, high};
}

std::wstring microseconds(double seconds);
std::wstring padded(std::wstring text, std::size_t width);

std::wstring row(const Result& r) {
    wchar_t ratio[96];
    swprintf(ratio, 96, L"%7.2fx  %.2f to %.2f   %ls", r.plugin / r.plain, r.ratioLow, r.ratioHigh,
             verdict(r));
    return padded(r.label, 30) + microseconds(r.plugin) + L" " + microseconds(r.plain) + L" " + ratio + L"\n";
}

std::wstring microseconds(double seconds) {
    wchar_t text[32];
    swprintf(text, 32, L"%10.1f \u00b5s", seconds * 1e6);
    return text;
}

std::wstring padded(std::wstring text, std::size_t width) {
    text.resize(std::max(text.size(), width), L' ');
    return text;
}

// A player in this process that names 4,000,000 playlist entries and notes when the
// first text is asked for: what the plug-in spent before it, making and filling the
// array, is what the bound on the array keeps small.
class MillionsPlayer {
public:
    static constexpr LRESULT kEntries = 4'000'000;

    MillionsPlayer() : thread_(&proc, this) {}
    void arm() { firstText_ = 0; }
    double firstText() const { return firstText_; }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<MillionsPlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        switch (message) {
        case RM_PLAYLIST_COUNT:
            return kEntries;
        case RM_PLAYLIST_CURRENT:
            return 0;
        case RM_PLAYLIST_ITEMTEXT:
            if (self->firstText_ == 0)
                self->firstText_ = now();
            SetWindowTextW(window, L"An entry");
            return 1;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcW(window, message, wParam, lParam);
        }
    }

    std::atomic<double> firstText_{0};
    bench::WindowThread thread_;
};

// queryMenu on a player that names 4,000,000 entries, five times: what the host gets,
// how long the call takes, and how much of it goes before the first text request.
std::wstring boundReport(const tools::PluginLibrary& plugin) {
    MillionsPlayer player;
    PlayerInstance* instance = plugin.InitPlayer(L"");
    std::vector<double> calls, before;
    int records = 0;
    for (int call = 0; call < 5; ++call) {
        player.arm();
        const double start = now();
        PlaylistMenuItem* items = plugin.queryMenu(instance, PLAYER_PLAYLIST_NAME);
        calls.push_back(now() - start);
        before.push_back(player.firstText() - start);
        for (records = 0; items != nullptr && items[records].id != 0;)
            ++records;
        plugin.freeMenu(instance, PLAYER_PLAYLIST_NAME, items);
    }
    plugin.DestroyPlayer(instance);
    std::sort(calls.begin(), calls.end());
    std::sort(before.begin(), before.end());
    wchar_t line[240];
    swprintf(line, 240,
             L"queryMenu, a player naming %d entries (5 calls, " PLAYER_ARCH_WIDE L"): %d records; the call "
             L"%.0f to %.0f ms, of "
             L"which %.1f to %.1f ms "
             L"before the first text\n",
             static_cast<int>(MillionsPlayer::kEntries), records, calls.front() * 1e3, calls.back() * 1e3,
             before.front() * 1e3, before.back() * 1e3);
    return line;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    const tools::ConsoleOutput console;
    int rounds = 21;
    if (argc == 3 && (std::wstring(argv[1]) == L"--rounds" || std::wstring(argv[1]) == L"--calls"))
        rounds = std::max(1, _wtoi(argv[2]));
    const bool callsOnly = argc >= 2 && std::wstring(argv[1]) == L"--calls";
    tools::PluginLibrary plugin;
    std::wstring error;
    if (!tools::loadPlugin(tools::besideProgram(L"player.dll"), plugin, error)) {
        tools::printError(L"player-bench: " + error + L"\n");
        return 1;
    }
    const std::wstring option = argc >= 2 ? argv[1] : L"";
    const int count = argc == 3 ? std::max(1, _wtoi(argv[2])) : 1500;
    if (option == L"--side-by-side-child") // beside this benchmark's own player
        return bench::sideBySideChild(plugin, count);
    if (option == L"--stuck-host-child") // a second host beside this benchmark
        return bench::stuckHostChild(plugin, static_cast<DWORD>(count));
    if (option == L"--window") {
        print(bench::windowAnswersReport(plugin, argc == 3 ? count : 10));
        return findPlayer() != nullptr ? 0 : 3;
    }
    if (findPlayer()) {
        tools::printError(L"player-bench: another player is running; quit it first\n");
        return 1;
    }
    // The sections that also run alone, quickly, for each architecture's build.
    if (option == L"--bound") {
        print(boundReport(plugin));
        return 0;
    }
    if (option == L"--refresh") {
        print(bench::silentRefreshReport(plugin));
        return 0;
    }
    if (option == L"--slow") {
        print(bench::steadyRefreshReport(plugin));
        return 0;
    }
    if (option == L"--host-trouble") {
        print(bench::workerReport(plugin) + L"\n" + bench::stuckHostReport(plugin) + L"\n" +
              bench::nestedReport(plugin));
        return 0;
    }
    if (option == L"--side-by-side") {
        const ReferencePlayer player(10, true);
        const bench::SideBySide result = bench::sideBySide(plugin, count);
        print(result.report);
        return result.crossed == 0 ? 0 : 1;
    }
    if (option == L"--panel") {
        print(bench::panelFreezeReport());
        return 0;
    }
    if (option == L"--panel-steady") {
        print(bench::panelSteadyReport());
        return 0;
    }
    if (option == L"--messages") {
        print(bench::hostMessagesReport());
        return 0;
    }
    const std::wstring bound = boundReport(plugin);
    bench::countAllocationsOf(plugin.module.get());
    PlayerInstance* instance = plugin.InitPlayer(L"");
    wchar_t buffer[512];

    std::vector<Result> results;
    std::vector<std::wstring> allocationReport;
    {
        ReferencePlayer player(10);
        if (!player.running()) {
            tools::printError(L"player-bench: the reference player did not start\n");
            return 1;
        }
        const std::vector<Case> cases = {
            {L"getState \"playpause\"", 200, [&] { plugin.getState(instance, L"playpause", buffer); },
             [&] { plainState(buffer); }},
            {L"getText \"title\"", 200, [&] { plugin.getText(instance, L"title", buffer, 512); },
             [&] { plainTitle(buffer, 512); }},
            {L"getText \"tracktime\"", 200, [&] { plugin.getText(instance, L"tracktime", buffer, 512); },
             [&] { plainTrackTime(buffer); }},
            {L"getProp \"volume\" kind 5", 200, [&] { plugin.getProp(instance, L"volume", 5); },
             [&] { plainVolume(); }},
            {L"sendCmd \"next\"", 200, [&] { plugin.sendCmd(instance, L"next", 0); }, [&] { plainNext(); }},
            {L"a host refresh of 13 calls", 20, [&] { tools::hostRefresh(plugin, instance); },
             [&] { bench::plainRefresh(); }},
            {L"queryCtxMenu (ratings)", 50,
             [&] {
                 HMENU menu = CreatePopupMenu();
                 plugin.queryCtxMenu(instance, menu, 0, 1000);
                 DestroyMenu(menu);
             },
             [&] {
                 HMENU menu = CreatePopupMenu();
                 plainContextMenu(menu, 1000);
                 DestroyMenu(menu);
             }},
        };
        for (const Case& c : cases)
            results.push_back(measure(c, rounds));
    }
    if (callsOnly) {
        for (const Result& r : results)
            print(row(r));
        return 0;
    }
    struct PlaylistSize {
        int entries;
        int callsPerBlock;
        int rounds;
        const wchar_t* label;
    };
    const PlaylistSize sizes[] = {{10, 50, rounds, L"10"},
                                  {1000, 4, std::max(1, rounds / 2), L"1,000"},
                                  {10000, 2, std::max(1, rounds / 4), L"10,000"}};
    for (const PlaylistSize& size : sizes) {
        ReferencePlayer player(size.entries);
        const Case c{
            L"queryMenu " + std::wstring(size.label) + L" entries", size.callsPerBlock,
            [&] { plugin.freeMenu(instance, L"*playlist", plugin.queryMenu(instance, L"*playlist")); },
            [&] { HeapFree(GetProcessHeap(), 0, plainPlaylist()); }};
        results.push_back(measure(c, size.rounds));
        bench::resetAllocationCount();
        PlaylistMenuItem* items = plugin.queryMenu(instance, L"*playlist");
        const long allocations = bench::allocationCount();
        int entries = 0;
        while (items && items[entries].id != 0)
            ++entries;
        plugin.freeMenu(instance, L"*playlist", items);
        allocationReport.push_back(std::to_wstring(allocations) + L" for " + std::to_wstring(entries) +
                                   L" entries");
    }
    // The one-second budget: what a call on a long playlist costs, and how far it gets.
    std::vector<std::wstring> budgetReport;
    for (const int entries : {10000, 100000}) {
        ReferencePlayer player(entries);
        std::vector<double> times;
        int total = 0;
        int withText = 0;
        for (int call = 0; call < 3; ++call) {
            const double start = now();
            PlaylistMenuItem* items = plugin.queryMenu(instance, PLAYER_PLAYLIST_NAME);
            times.push_back(now() - start);
            for (total = 0, withText = 0; items != nullptr && items[total].id != 0; ++total)
                withText += items[total].text[0] != L'\0' ? 1 : 0;
            plugin.freeMenu(instance, PLAYER_PLAYLIST_NAME, items);
        }
        std::sort(times.begin(), times.end());
        wchar_t line[160];
        swprintf(line, 160, L"  queryMenu %6d entries: %.0f to %.0f ms a call, %d of %d entries with text\n",
                 entries, times.front() * 1e3, times.back() * 1e3, withText, total);
        budgetReport.push_back(line);
    }
    plugin.DestroyPlayer(instance);

    const std::wstring silentRefresh = bench::silentRefreshReport(plugin);
    const std::wstring slowRefresh = bench::steadyRefreshReport(plugin);
    const std::wstring hostTrouble = bench::workerReport(plugin) + L"\n" + bench::stuckHostReport(plugin) +
                                     L"\n" + bench::nestedReport(plugin);
    std::wstring sideBySide;
    {
        const ReferencePlayer player(10, true);
        sideBySide = bench::sideBySide(plugin, 1500).report;
    }
    const std::wstring panelFreeze = bench::panelFreezeReport();
    const std::wstring hostMessages = bench::hostMessagesReport();
    const std::wstring panelSteady = bench::panelSteadyReport();

    // "play" with the player absent starts it: how long the host's call takes, and how
    // long until the player's window answers.
    std::vector<double> calls, windows;
    for (int start = 0; start < 3; ++start) {
        PlayerInstance* fresh = plugin.InitPlayer(tools::besideProgram(L"remote-player.exe").c_str());
        const double begin = now();
        plugin.sendCmd(fresh, L"play", 0);
        calls.push_back(now() - begin);
        for (int i = 0; i < 1000 && !findPlayer(); ++i)
            Sleep(10);
        windows.push_back(now() - begin);
        if (HWND w = findPlayer())
            PostMessageW(w, RM_QUIT, 0, 0);
        for (int i = 0; i < 1000 && findPlayer(); ++i)
            Sleep(10);
        plugin.DestroyPlayer(fresh);
    }
    std::sort(calls.begin(), calls.end());
    std::sort(windows.begin(), windows.end());

    print(L"Time per call, median of the rounds (" + std::to_wstring(rounds) + L" for single queries)\n\n");
    print(padded(L"call", 30) + L"      plug-in        plain   ratio  95% interval   verdict\n");
    for (const Result& r : results)
        print(row(r));
    print(L"\nqueryMenu per entry:");
    for (std::size_t i = 0; i < 3; ++i) {
        const Result& r = results[results.size() - 3 + i];
        wchar_t text[64];
        swprintf(text, 64, L" %ls %.1f \u00b5s;", sizes[i].label, r.plugin / sizes[i].entries * 1e6);
        print(text);
    }
    print(L"\nallocations by player.dll per queryMenu:");
    for (const std::wstring& line : allocationReport)
        print(L" " + line + L";");
    print(L"\n\nWithin the one-second budget (3 calls each):\n");
    for (const std::wstring& line : budgetReport)
        print(line);
    wchar_t launch[200];
    swprintf(launch, 200,
             L"\nsendCmd \"play\" with the player absent (3 starts): the call %.1f to %.1f ms, "
             L"the player's window after %.0f to %.0f ms\n",
             calls.front() * 1e3, calls.back() * 1e3, windows.front() * 1e3, windows.back() * 1e3);
    print(launch);
    print(L"\n" + silentRefresh + L"\n" + slowRefresh + L"\n" + hostTrouble + L"\n" + sideBySide + L"\n" +
          panelFreeze + L"\n" + hostMessages + L"\n" + panelSteady);
    print(L"\n" + bound);
    return 0;
}
