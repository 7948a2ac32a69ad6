#include "HostTrouble.h"

#include "Child.h"

#include "HostRefresh.h"
#include "HostWindow.h"
#include "SilentPlayer.h"

#include <algorithm>
#include <cstdio>
#include <thread>
#include <vector>

namespace bench {
namespace {

constexpr DWORD kStuckMilliseconds = 10'000;

std::wstring getText(const tools::PluginLibrary& plugin, PlayerInstance* instance, const wchar_t* name) {
    wchar_t text[64] = L"";
    plugin.getText(instance, name, text, 64);
    return text;
}

} // namespace

std::wstring workerReport(const tools::PluginLibrary& plugin) {
    SilentPlayer player;
    player.answerAfter(1300);
    const HANDLE nextJob = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    int workerGot = -1;
    std::thread worker([&] {
        PlayerInstance* instance = plugin.InitPlayer(L"");
        workerGot = plugin.getProp(instance, L"volume", 5); // left unanswered
        plugin.DestroyPlayer(instance);
        WaitForSingleObject(nextJob, INFINITE); // lives on, taking no messages
    });
    while (workerGot < 0)
        Sleep(10);
    player.answerAfter(0);
    player.drain(); // caught up: it answers at once from now on
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const auto secondsUntilLive = [&](DWORD most) {
        const ULONGLONG start = GetTickCount64();
        while (plugin.getProp(instance, L"volume", 5) != 40) {
            if (GetTickCount64() - start > most)
                return -1.0;
            Sleep(100);
        }
        return (GetTickCount64() - start) / 1000.0;
    };
    const double whileWorkerLives = secondsUntilLive(15'000);
    SetEvent(nextJob);
    worker.join();
    CloseHandle(nextJob);
    const double afterItEnded = whileWorkerLives < 0 ? secondsUntilLive(15'000) : 0.0;
    plugin.DestroyPlayer(instance);

    wchar_t line[300];
    if (whileWorkerLives >= 0)
        swprintf(line, 300,
                 L"  a worker met a silence and waits on an event: the other threads got live answers "
                 L"%.1f s after the player caught up\n",
                 whileWorkerLives);
    else
        swprintf(line, 300,
                 L"  a worker met a silence and waits on an event: the other threads got no live answer "
                 L"in 15 s; %.1f s after the worker ended\n",
                 afterItEnded);
    return L"A silence met by one thread, for the others:\n" + std::wstring(line);
}

int stuckHostChild(const tools::PluginLibrary& plugin, DWORD milliseconds) {
    tools::HostWindow window([milliseconds] { Sleep(milliseconds); });
    window.queueFromAnotherThread();
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const std::wstring title = getText(plugin, instance, L"title");
    plugin.DestroyPlayer(instance);
    window.runQueued(); // if it has not run during the call
    return title == L"A title" ? 0 : 1;
}

std::wstring stuckHostReport(const tools::PluginLibrary& plugin) {
    SilentPlayer player;
    // The second host's request keeps the player busy a moment, so that the message for its
    // window is taken while the request waits.
    const long takenBefore = player.taken();
    player.stickOnNext(150);
    const tools::UniqueHandle child =
        startBeside(L"player-bench.exe", L"--stuck-host-child " + std::to_wstring(kStuckMilliseconds));
    if (!child)
        return L"A second host stuck in its window procedure: it could not start\n";
    for (int i = 0; i < 3000 && player.taken() == takenBefore; ++i)
        Sleep(10);
    Sleep(300); // its request answered; its window procedure now runs

    PlayerInstance* instance = plugin.InitPlayer(L"");
    std::vector<ULONGLONG> held;
    int titles = 0;
    const ULONGLONG start = GetTickCount64();
    for (int refresh = 0; GetTickCount64() - start < kStuckMilliseconds - 1000; ++refresh) {
        const ULONGLONG due = start + 1000ull * refresh;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        const ULONGLONG began = GetTickCount64();
        titles += tools::hostRefresh(plugin, instance).title == L"A title" ? 1 : 0;
        held.push_back(GetTickCount64() - began);
    }
    plugin.DestroyPlayer(instance);
    WaitForSingleObject(child.get(), 30'000);
    DWORD childExit = 0;
    GetExitCodeProcess(child.get(), &childExit);

    std::wstring times;
    for (const ULONGLONG ms : held)
        times += (times.empty() ? L"" : L", ") + std::to_wstring(ms);
    wchar_t line[400];
    swprintf(line, 400,
             L"A second host sitting %lu s in its window procedure during a text request; this host's "
             L"refreshes beside it:\n  held %ls ms; the title in %d of %d; the second host read %ls\n",
             kStuckMilliseconds / 1000, times.c_str(), titles, static_cast<int>(held.size()),
             childExit == 0 ? L"its own title" : L"another reply or none");
    return line;
}

std::wstring nestedReport(const tools::PluginLibrary& plugin) {
    constexpr int kRequests = 20;
    SilentPlayer player;
    PlayerInstance* nestedInstance = plugin.InitPlayer(L"");
    std::wstring artist;
    tools::HostWindow window([&] { artist = getText(plugin, nestedInstance, L"artist"); });
    PlayerInstance* instance = plugin.InitPlayer(L"");
    int crossed = 0, inside = 0;
    for (int i = 0; i < kRequests; ++i) {
        window.queueFromAnotherThread();
        player.stickOnNext(50); // the request waits, and the window procedure runs meanwhile
        const std::wstring title = getText(plugin, instance, L"title");
        inside += window.ran() ? 1 : 0;
        window.runQueued();
        crossed += (title != L"A title" ? 1 : 0) + (artist != L"An artist" ? 1 : 0);
        Sleep(300); // the host's refreshes are a second apart; the player keeps no debt of these
    }
    plugin.DestroyPlayer(instance);
    plugin.DestroyPlayer(nestedInstance);
    wchar_t line[300];
    swprintf(line, 300,
             L"A text request made by the host's window procedure while its title request waits (%d "
             L"times):\n  %d of %d replies crossed; the window procedure ran inside the request %d times\n",
             kRequests, crossed, 2 * kRequests, inside);
    return line;
}

} // namespace bench
