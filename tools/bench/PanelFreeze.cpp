#include "PanelFreeze.h"

#include "Child.h"

#include "PluginLibrary.h"
#include "SilentPlayer.h"

#include <windows.h>

#include <oleacc.h>

#include <algorithm>
#include <cstdio>

namespace bench {
namespace {

constexpr wchar_t kPanelClass[] = L"PlayerPanel";
constexpr UINT kPing = WM_APP + 51; // the panel's, in tools/player-panel/PanelWindow.h

// How long a message posted to the panel waits until the panel takes it.
ULONGLONG pingWait(HWND panel) {
    const ULONGLONG sent = GetTickCount64();
    if (!PostMessageW(panel, kPing, GetCurrentThreadId(), 0))
        return 0;
    for (;;) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, kPing, kPing, PM_REMOVE))
            return GetTickCount64() - sent;
        if (GetTickCount64() - sent > 30'000)
            return GetTickCount64() - sent;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_POSTMESSAGE);
    }
}
// How long a screen reader's first question takes: the panel's object, and the name of
// its first element, through oleacc.
ULONGLONG readerWait(HWND panel) {
    using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow = [] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return reinterpret_cast<FromWindowFn>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    }();
    const ULONGLONG asked = GetTickCount64();
    IAccessible* object = nullptr;
    if (fromWindow != nullptr && SUCCEEDED(fromWindow(panel, static_cast<DWORD>(OBJID_CLIENT),
                                                      IID_IAccessible, reinterpret_cast<void**>(&object)))) {
        VARIANT first{};
        first.vt = VT_I4;
        first.lVal = 1;
        BSTR name = nullptr;
        object->get_accName(first, &name);
        SysFreeString(name);
        object->Release();
    }
    return GetTickCount64() - asked;
}

constexpr DWORD kPollsPerSecond = 4; // the panel's polls: time and states, four times a second
constexpr DWORD kSampleMilliseconds = 10'000;

struct Scenario {
    const wchar_t* what;
    void (*begin)(SilentPlayer&);
};

std::wstring run(const Scenario& scenario) {
    SilentPlayer player;
    const std::wstring ini = tools::besideProgram(L"bench-panel.ini");
    const tools::UniqueHandle panel = startBeside(L"player-panel.exe", L"--ini \"" + ini + L"\"");
    if (!panel)
        return L"  " + std::wstring(scenario.what) + L": the panel could not start\n";
    HWND window = nullptr;
    for (int i = 0; i < 500 && window == nullptr; ++i, Sleep(20))
        window = FindWindowW(kPanelClass, nullptr);
    Sleep(1500); // a few polls of an answering player first
    scenario.begin(player);

    ULONGLONG longest = 0, frozen = 0, reader = 0;
    const ULONGLONG start = GetTickCount64();
    for (int sample = 0; window != nullptr && GetTickCount64() - start < kSampleMilliseconds; ++sample) {
        const ULONGLONG waited = pingWait(window);
        longest = std::max(longest, waited);
        if (waited > 20) // a message answered within a frame is no freeze
            frozen += waited;
        if (sample % 20 == 0)
            reader = std::max(reader, readerWait(window));
        Sleep(10);
    }
    const ULONGLONG sampled = GetTickCount64() - start;
    if (window != nullptr)
        PostMessageW(window, WM_CLOSE, 0, 0);
    player.answerAfter(0);
    WaitForSingleObject(panel.get(), 30'000);
    DeleteFileW(ini.c_str());

    const double polls = static_cast<double>(sampled) / 1000.0 * kPollsPerSecond;
    wchar_t line[300];
    swprintf(line, 300,
             L"  %ls: unanswered %llu ms of %llu ms (%.0f ms a poll), the longest wait %llu ms; a screen "
             L"reader's question at most %llu ms\n",
             scenario.what, frozen, sampled, frozen / polls, longest, reader);
    return line;
}

} // namespace

std::wstring panelFreezeReport() {
    const Scenario scenarios[] = {
        {L"answering every message after 0.15 s", [](SilentPlayer& p) { p.answerAfter(150); }},
        {L"answering every message after 1.3 s", [](SilentPlayer& p) { p.answerAfter(1300); }},
        {L"stuck 9 s in one message", [](SilentPlayer& p) { p.stickOnNext(9000); }},
    };
    std::wstring report = L"The panel's own window while it polls a slow or silent player (10 s each, a "
                          L"message every 10 ms, a screen reader's question every 20th):\n";
    for (const Scenario& scenario : scenarios)
        report += run(scenario);
    return report;
}

} // namespace bench
