#include "SlowRefresh.h"

#include "HostRefresh.h"
#include "SilentPlayer.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {
namespace {

constexpr int kRefreshes = 6;
constexpr int kMostToRecover = 10;

struct Told {
    int player = 0; // the player's own answer
    int absent = 0; // what an absent player gives
    int other = 0;  // anything else: a fault
};

void classify(const tools::RefreshAnswers& got, const tools::RefreshAnswers& answered,
              const tools::RefreshAnswers& absent, Told& told) {
    for (std::size_t i = 0; i < got.each.size(); ++i) {
        const std::wstring value = got.each[i].data();
        if (value == answered.each[i].data())
            ++told.player;
        else if (value == absent.each[i].data())
            ++told.absent;
        else
            ++told.other;
    }
}

bool sameAnswers(const tools::RefreshAnswers& a, const tools::RefreshAnswers& b) {
    return a.each == b.each;
}

std::wstring run(const tools::PluginLibrary& plugin, DWORD pace, const tools::RefreshAnswers& absent) {
    SilentPlayer player;
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const tools::RefreshAnswers answered = tools::hostRefresh(plugin, instance);
    player.answerAfter(pace);
    std::vector<ULONGLONG> held;
    Told told;
    const ULONGLONG start = GetTickCount64();
    for (int refresh = 0; refresh < kRefreshes; ++refresh) {
        const ULONGLONG due = start + 1000ull * refresh;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        const ULONGLONG began = GetTickCount64();
        const tools::RefreshAnswers got = tools::hostRefresh(plugin, instance);
        held.push_back(GetTickCount64() - began);
        classify(got, answered, absent, told);
    }
    player.answerAfter(0);
    int refreshes = 1;
    for (; refreshes <= kMostToRecover; ++refreshes) {
        Sleep(1000);
        if (sameAnswers(tools::hostRefresh(plugin, instance), answered))
            break;
    }
    plugin.DestroyPlayer(instance);
    player.drain();

    std::wstring times;
    for (const ULONGLONG ms : held)
        times += (times.empty() ? L"" : L", ") + std::to_wstring(ms);
    const ULONGLONG longest = *std::max_element(held.begin(), held.end());
    wchar_t line[400];
    swprintf(line, 400,
             L"  answering every message after %.2f s: refreshes held %ls ms (longest %llu ms);\n"
             L"    of %d answers %d the player's, %d as for an absent player, %d other; prompt again, "
             L"answered in full at refresh %ls\n",
             pace / 1000.0, times.c_str(), longest, kRefreshes * tools::kHostRefreshCalls, told.player,
             told.absent, told.other,
             refreshes <= kMostToRecover ? std::to_wstring(refreshes).c_str() : L"(not within 10)");
    return line;
}

} // namespace

std::wstring slowRefreshReport(const tools::PluginLibrary& plugin) {
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const tools::RefreshAnswers absent = tools::hostRefresh(plugin, instance); // no player yet
    plugin.DestroyPlayer(instance);
    std::wstring report = L"A host's refresh of " + std::to_wstring(tools::kHostRefreshCalls) +
                          L" calls, a second apart (" + std::to_wstring(kRefreshes) +
                          L" refreshes), against a player answering slowly:\n";
    for (const DWORD pace : {150u, 300u, 600u})
        report += run(plugin, pace, absent);
    return report;
}

} // namespace bench
