#include "SteadyRefresh.h"

#include "HostRefresh.h"
#include "SendCounter.h"
#include "SilentPlayer.h"

#include <algorithm>
#include <array>
#include <utility>
#include <cstdio>
#include <functional>
#include <vector>

namespace bench {
namespace {

struct Pace {
    const wchar_t* what;
    int calls;     // of the refresh: 13 or 16
    int refreshes; // a second apart
    std::function<void(SilentPlayer&)> begin;
    int pauseAt = -1;   // the refresh whose first message keeps the player busy
    DWORD pauseFor = 0; // that long
};

std::wstring run(const tools::PluginLibrary& plugin, const Pace& pace, const tools::RefreshAnswers& absent) {
    SilentPlayer player;
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const tools::RefreshAnswers answered = tools::hostRefresh(plugin, instance, pace.calls);
    pace.begin(player);
    const tools::SendCounter sends(plugin.module.get());
    int full = 0, part = 0, none = 0, other = 0;
    std::vector<int> changes(tools::kBusyHostRefreshCalls, 0);
    std::array<bool, tools::kBusyHostRefreshCalls> before{};
    std::vector<ULONGLONG> held;
    const ULONGLONG start = GetTickCount64();
    for (int refresh = 0; refresh < pace.refreshes; ++refresh) {
        const ULONGLONG due = start + 1000ull * refresh;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        if (refresh == pace.pauseAt)
            player.stickOnNext(pace.pauseFor);
        const ULONGLONG began = GetTickCount64();
        const tools::RefreshAnswers got = tools::hostRefresh(plugin, instance, pace.calls);
        held.push_back(GetTickCount64() - began);
        const tools::RefreshVerdict verdict = tools::classify(got, answered, absent);
        other += verdict.other;
        if (verdict.player == pace.calls)
            ++full;
        else if (verdict.absent == pace.calls - 1 || verdict.player <= 1) // needsave's 0 is both
            ++none;
        else
            ++part;
        for (int i = 0; refresh > 0 && i < pace.calls; ++i)
            changes[i] += verdict.answered[i] != before[i] ? 1 : 0;
        before = verdict.answered;
    }
    const tools::SendCounts counted = sends.counts();
    plugin.DestroyPlayer(instance);
    player.answerAfter(0);
    player.textsAfter(0);
    player.pauseEvery(0, 0);
    player.drain();

    const ULONGLONG later = held.size() > 1 ? *std::max_element(held.begin() + 1, held.end()) : 0;
    wchar_t line[400];
    swprintf(
        line, 400,
        L"  %-44ls %2d calls: of %d refreshes %2d full, %2d in part, %2d absent%ls; one value changed at "
        L"most "
        L"%d times;\n      longest refresh: first %4llu ms, later %4llu ms; sends: %ld answered, %ld left "
        L"queued, %ld refused\n",
        pace.what, pace.calls, pace.refreshes, full, part, none, other != 0 ? L" (other values told!)" : L"",
        *std::max_element(changes.begin(), changes.end()), held.front(), later, counted.answered,
        counted.leftQueued, counted.refused);
    return line;
}

} // namespace

std::wstring steadyRefreshReport(const tools::PluginLibrary& plugin) {
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const tools::RefreshAnswers absent = tools::hostRefresh(plugin, instance, tools::kBusyHostRefreshCalls);
    plugin.DestroyPlayer(instance);
    const auto after = [](DWORD ms) { return [ms](SilentPlayer& p) { p.answerAfter(ms); }; };
    const Pace paces[] = {
        {L"answering every message after 40 ms (60 s)", 16, 60, after(40)},
        {L"after 50 ms", 13, 20, after(50)},
        {L"after 60 ms", 16, 20, after(60)},
        {L"after 0.1 s", 16, 20, after(100)},
        {L"after 0.15 s", 13, 20, after(150)},
        {L"after 0.3 s", 13, 20, after(300)},
        {L"after 0.6 s", 13, 20, after(600)},
        {L"texts after 0.3 s, the rest at once", 13, 20, [](SilentPlayer& p) { p.textsAfter(300); }},
        {L"silent (every message after 1.3 s)", 13, 20, after(1300)},
        {L"hung (stuck 25 s in one message)", 13, 20, [](SilentPlayer& p) { p.stickOnNext(25'000); }},
        {L"at once, but one pause of 1.5 s (at refresh 6)", 16, 20, after(0), 5, 1500},
        {L"at once, pausing 1 s every 100th message", 16, 20,
         [](SilentPlayer& p) { p.pauseEvery(100, 1000); }},
    };
    std::wstring report = L"A host's refresh, a second apart, against players of every pace (each value told "
                          L"as the player's or an absent player's):\n";
    for (const Pace& pace : paces)
        report += run(plugin, pace, absent);
    // Where answers start being lost: a refresh of 13 messages and one of 16 (the
    // 13-call refresh sends 13, the 16-call one 16), 5 refreshes at each pace.
    report += L"  The pace at which answers start being lost (5 refreshes at each):\n";
    for (const auto& [calls, paces] :
         {std::pair{13, std::array<DWORD, 3>{58, 60, 64}}, std::pair{16, std::array<DWORD, 3>{46, 48, 52}}}) {
        std::wstring line = L"    " + std::to_wstring(calls) + L" messages a refresh:";
        for (const DWORD each : paces) {
            const Pace pace{L"", calls, 5, after(each)};
            const bool full = run(plugin, pace, absent).find(L"refreshes  5 full") != std::wstring::npos;
            line += L"  " + std::to_wstring(each) + L" ms " + (full ? L"in full" : L"loses answers");
        }
        report += line + L"\n";
    }
    return report;
}

} // namespace bench
