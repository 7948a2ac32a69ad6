#include "SideBySide.h"

#include "Child.h"

#include "PluginLibrary.h"

#include <algorithm>
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

// A reply is crossed when it is another request's text; an empty one did not arrive
// (a player kept waiting too long under load), which crosses nothing.
struct Replies {
    int crossed = 0;
    int missing = 0;
};

Replies askAll(const tools::PluginLibrary& plugin, const Expected& expected, int calls, int offset) {
    PlayerInstance* instance = plugin.InitPlayer(L"");
    Replies replies;
    for (int i = 0; i < calls && !expected.empty(); ++i) {
        const auto& [name, reply] = expected[static_cast<std::size_t>(i + offset) % expected.size()];
        const std::wstring got = text(plugin, instance, name);
        replies.crossed += !got.empty() && got != reply ? 1 : 0;
        replies.missing += got.empty() ? 1 : 0;
    }
    plugin.DestroyPlayer(instance);
    return replies;
}

std::wstring line(const wchar_t* who, const Replies& replies, int asked) {
    wchar_t text[160];
    swprintf(text, 160, L"  %-15ls %d of %d replies crossed, %d did not arrive\n", who, replies.crossed,
             asked, replies.missing);
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

    Replies second;
    std::thread secondThread([&] { second = askAll(plugin, expected, calls, 1); });
    Replies both = askAll(plugin, expected, calls, 0);
    secondThread.join();
    both.crossed += second.crossed;
    both.missing += second.missing;
    result.crossed += both.crossed;
    result.report += line(L"two threads", both, 2 * calls);

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
        Replies here = askAll(plugin, expected, calls, 0);
        WaitForSingleObject(child.get(), 60000);
        DWORD there = 0; // the child's crossed replies in its low 16 bits, the missing above
        GetExitCodeProcess(child.get(), &there);
        here.crossed += static_cast<int>(there & 0xFFFF);
        here.missing += static_cast<int>(there >> 16);
        result.crossed += here.crossed;
        result.report += line(L"two processes", here, 2 * calls);
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
        return std::min(calls, 0xFFFF); // started by hand: nothing to run beside, all "crossed"
    SetEvent(ready);
    WaitForSingleObject(start, 30000);
    const Replies replies = askAll(plugin, expected, calls, 1);
    CloseHandle(ready);
    CloseHandle(start);
    return std::min(replies.crossed, 0xFFFF) | std::min(replies.missing, 0x7FFF) << 16;
}

} // namespace bench
