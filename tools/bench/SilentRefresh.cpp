#include "SilentRefresh.h"

#include "HostRefresh.h"
#include "ReferencePlayer.h"
#include "SilentPlayer.h"
#include "PlayerRemote.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

namespace bench {
namespace {

int ask(HWND window, UINT message) {
    return static_cast<int>(SendMessageW(window, message, 0, 0));
}

struct Scenario {
    const wchar_t* what;
    DWORD silentFor; // milliseconds from the first refresh
    void (*begin)(SilentPlayer&);
    void (*end)(SilentPlayer&);
};

std::wstring run(const tools::PluginLibrary& plugin, const Scenario& scenario) {
    SilentPlayer player;
    PlayerInstance* instance = plugin.InitPlayer(L"");
    tools::hostRefresh(plugin, instance); // answering, before it falls silent
    const long takenBefore = player.taken();
    scenario.begin(player);
    const ULONGLONG start = GetTickCount64();
    const ULONGLONG end = start + scenario.silentFor;
    // The silence ends on time, whatever the host is doing then.
    long takenWhileSilent = 0;
    std::thread ending([&] {
        Sleep(scenario.silentFor);
        takenWhileSilent = player.taken() - takenBefore;
        scenario.end(player);
    });
    // A refresh a second while it is silent, or as soon as the last one let go.
    std::vector<ULONGLONG> held;
    for (int refresh = 0;; ++refresh) {
        const ULONGLONG due = std::max(start + 1000ull * refresh, GetTickCount64());
        if (due >= end)
            break;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        const ULONGLONG began = GetTickCount64();
        tools::hostRefresh(plugin, instance);
        held.push_back(GetTickCount64() - began);
    }
    ending.join();
    player.drain();
    const long takenInAll = player.taken() - takenBefore;
    int refreshes = 1;
    while (refreshes <= 10 && tools::hostRefresh(plugin, instance).title != L"A title") {
        ++refreshes;
        Sleep(1000);
    }
    plugin.DestroyPlayer(instance);

    ULONGLONG later = 0, total = 0;
    for (std::size_t i = 0; i < held.size(); ++i) {
        total += held[i];
        if (i > 0)
            later = std::max(later, held[i]);
    }
    wchar_t line[400];
    swprintf(line, 400,
             L"  %ls: %d refreshes began in %lu s, holding the host %llu ms in all: the first %llu ms, each "
             L"later one at most %llu ms;\n    the player took up %ld message%ls in those %lu s, %ld in all; "
             L"answering again, the title was back at refresh %d\n",
             scenario.what, static_cast<int>(held.size()), scenario.silentFor / 1000, total,
             held.empty() ? 0ull : held.front(), later, takenWhileSilent, takenWhileSilent == 1 ? L"" : L"s",
             scenario.silentFor / 1000, takenInAll, refreshes);
    return line;
}

} // namespace

void plainRefresh() {
    // Thirteen calls, each finding the window and asking, as a host's exports would.
    const auto askAfresh = [](UINT message) {
        const HWND window = findPlayer();
        return window != nullptr ? ask(window, message) : 0;
    };
    wchar_t text[256];
    for (UINT message : {RM_STATE_PLAYPAUSE, RM_STATE_SHUFFLE, RM_STATE_REPEAT, RM_STATE_MUTE})
        lstrcpyW(text, askAfresh(message) ? L"on" : L"off");
    for (UINT message : {RM_TEXT_TITLE, RM_TEXT_ARTIST, RM_TEXT_ALBUM})
        if (const HWND window = findPlayer(); window != nullptr && ask(window, message))
            GetWindowTextW(window, text, 256);
    if (const HWND window = findPlayer()) {
        const int length = ask(window, RM_GET_TRACKLENGTH);
        const int position = length != 0 ? ask(window, RM_GET_POSITION) : 0;
        wsprintfW(text, L"%d:%02d", (length - position) / 60, (length - position) % 60);
    }
    for (UINT message : {RM_GET_MAXVOLUME, RM_GET_VOLUME, RM_GET_TRACKLENGTH, RM_GET_POSITION})
        askAfresh(message);
    findPlayer(); // "needsave" asks nothing
}

std::wstring silentRefreshReport(const tools::PluginLibrary& plugin) {
    const Scenario scenarios[] = {
        {L"answering every message after 1.3 s", 10'000, [](SilentPlayer& p) { p.answerAfter(1300); },
         [](SilentPlayer& p) { p.answerAfter(0); }},
        {L"stuck 9 s in one message", 9'000, [](SilentPlayer& p) { p.stickOnNext(9000); },
         [](SilentPlayer&) {}},
    };
    std::wstring report = L"A host's refresh of " + std::to_wstring(tools::kHostRefreshCalls) +
                          L" calls, a second apart, against a silent player (then answering again):\n";
    for (const Scenario& scenario : scenarios)
        report += run(plugin, scenario);
    return report;
}

} // namespace bench
