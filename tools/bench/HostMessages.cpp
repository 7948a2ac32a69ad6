#include "HostMessages.h"

#include "Child.h"
#include "SilentPlayer.h"

#include "PlayerRemote.h"
#include "PluginLibrary.h"

#include <cstdio>
#include <vector>

namespace bench {
namespace {

constexpr wchar_t kPanelClass[] = L"PlayerPanel";
constexpr DWORD kPanelSeconds = 10;

struct Kinds {
    long all, supported, positions, lengths, ratings;
};

Kinds count(const SilentPlayer& player) {
    long ratings = player.taken(RM_GET_RATING);
    for (UINT message = RM_STATE_RATING1; message <= RM_STATE_RATING5; ++message)
        ratings += player.taken(message);
    return {player.taken(), player.taken(RM_IS_SUPPORTED), player.taken(RM_GET_POSITION),
            player.taken(RM_GET_TRACKLENGTH), ratings};
}

Kinds since(const Kinds& now, const Kinds& before) {
    return {now.all - before.all, now.supported - before.supported, now.positions - before.positions,
            now.lengths - before.lengths, now.ratings - before.ratings};
}

std::wstring kinds(const Kinds& k) {
    wchar_t text[200];
    swprintf(text, 200, L"%ld RM_IS_SUPPORTED, %ld positions, %ld lengths, %ld ratings and stars",
             k.supported, k.positions, k.lengths, k.ratings);
    return text;
}

} // namespace

std::wstring hostMessagesReport() {
    std::wstring report = L"What the tools ask a prompt player that offers everything:\n";
    SilentPlayer player;
    player.offerEverything();
    {
        const std::wstring ini = tools::besideProgram(L"bench-messages.ini");
        const tools::UniqueHandle panel = startBeside(L"player-panel.exe", L"--ini \"" + ini + L"\"");
        HWND window = nullptr;
        for (int i = 0; panel && i < 500 && window == nullptr; ++i, Sleep(20))
            window = FindWindowW(kPanelClass, nullptr);
        if (window == nullptr)
            return report + L"  the panel could not start\n";
        Sleep(2000); // past its first look, which asks everything at once
        const Kinds before = count(player);
        Sleep(kPanelSeconds * 1000);
        const Kinds sent = since(count(player), before);
        PostMessageW(window, WM_CLOSE, 0, 0);
        WaitForSingleObject(panel.get(), 30'000);
        DeleteFileW(ini.c_str());
        wchar_t line[300];
        swprintf(line, 300, L"  player-panel: %.1f messages a second (in %lu s: %ls)\n",
                 static_cast<double>(sent.all) / kPanelSeconds, kPanelSeconds, kinds(sent).c_str());
        report += line;
    }
    const Kinds before = count(player);
    const tools::UniqueHandle status = startBeside(L"player-host.exe", L"status", true);
    if (status)
        WaitForSingleObject(status.get(), 30'000);
    const Kinds sent = since(count(player), before);
    wchar_t line[300];
    swprintf(line, 300, L"  player-host status: %ld messages (%ls)\n", sent.all, kinds(sent).c_str());
    return report + line;
}

} // namespace bench
