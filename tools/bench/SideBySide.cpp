#include "SideBySide.h"

#include "Child.h"

#include "PluginLibrary.h"

#include <cstdio>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace bench {
namespace {

constexpr wchar_t kChildReady[] = L"Local\\player-bench.side-by-side.ready";
constexpr wchar_t kStart[] = L"Local\\player-bench.side-by-side.start";

using Expected = std::vector<std::pair<std::wstring, std::wstring>>; // name, reply

std::wstring text(const tools::PluginLibrary& plugin, PlayerInstance* instance, const std::wstring& name) {
    wchar_t reply[256] = L"";
    plugin.getText(instance, name.c_str(), reply, 256);
    return reply;
}

// The texts the player gives when asked alone: those that are there and differ.
Expected expectedTexts(const tools::PluginLibrary& plugin, PlayerInstance* instance) {
    Expected expected;
    for (const wchar_t* name : {L"title", L"artist", L"album", L"genre", L"tracklen"}) {
        const std::wstring reply = text(plugin, instance, name);
        bool distinct = !reply.empty();
        for (const auto& known : expected)
            distinct = distinct && known.second != reply;
        if (distinct)
            expected.emplace_back(name, reply);
    }
    return expected;
}

int crossedReplies(const tools::PluginLibrary& plugin, const Expected& expected, int calls, int offset) {
    PlayerInstance* instance = plugin.InitPlayer(L"");
    int crossed = 0;
    for (int i = 0; i < calls && !expected.empty(); ++i) {
        const auto& [name, reply] = expected[static_cast<std::size_t>(i + offset) % expected.size()];
        crossed += text(plugin, instance, name) != reply ? 1 : 0;
    }
    plugin.DestroyPlayer(instance);
    return crossed;
}

std::wstring line(const wchar_t* who, int crossed, int asked) {
    wchar_t text[160];
    swprintf(text, 160, L"  %-15ls %d of %d replies crossed\n", who, crossed, asked);
    return text;
}

} // namespace

SideBySide sideBySide(const tools::PluginLibrary& plugin, int calls) {
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const Expected expected = expectedTexts(plugin, instance);
    plugin.DestroyPlayer(instance);
    SideBySide result;
    result.report = L"Hosts side by side, " + std::to_wstring(calls) + L" texts each at the same time (" +
                    std::to_wstring(expected.size()) + L" different texts):\n";

    int crossedFirst = 0, crossedSecond = 0;
    std::thread second([&] { crossedSecond = crossedReplies(plugin, expected, calls, 1); });
    crossedFirst = crossedReplies(plugin, expected, calls, 0);
    second.join();
    result.crossed += crossedFirst + crossedSecond;
    result.report += line(L"two threads", crossedFirst + crossedSecond, 2 * calls);

    const HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, kChildReady);
    const HANDLE start = CreateEventW(nullptr, TRUE, FALSE, kStart);
    const tools::UniqueHandle child =
        startBeside(L"player-bench.exe", L"--side-by-side-child " + std::to_wstring(calls));
    if (!child) {
        result.report += L"  two processes: the second could not start\n";
        result.crossed += 1;
    } else {
        const HANDLE readyOrGone[] = {ready, child.get()};
        WaitForMultipleObjects(2, readyOrGone, FALSE, 30000);
        SetEvent(start);
        const int crossedHere = crossedReplies(plugin, expected, calls, 0);
        WaitForSingleObject(child.get(), 60000);
        DWORD crossedThere = 0;
        GetExitCodeProcess(child.get(), &crossedThere);
        result.crossed += crossedHere + static_cast<int>(crossedThere);
        result.report += line(L"two processes", crossedHere + static_cast<int>(crossedThere), 2 * calls);
    }
    CloseHandle(ready);
    CloseHandle(start);
    return result;
}

int sideBySideChild(const tools::PluginLibrary& plugin, int calls) {
    PlayerInstance* instance = plugin.InitPlayer(L"");
    const Expected expected = expectedTexts(plugin, instance);
    plugin.DestroyPlayer(instance);
    const HANDLE ready = OpenEventW(EVENT_MODIFY_STATE, FALSE, kChildReady);
    const HANDLE start = OpenEventW(SYNCHRONIZE, FALSE, kStart);
    if (ready == nullptr || start == nullptr)
        return calls; // started by hand: nothing to run beside
    SetEvent(ready);
    WaitForSingleObject(start, 30000);
    const int crossed = crossedReplies(plugin, expected, calls, 1);
    CloseHandle(ready);
    CloseHandle(start);
    return crossed;
}

} // namespace bench
