#include "PanelSteady.h"

#include "Child.h"
#include "SilentPlayer.h"

#include "PluginLibrary.h"

#include <windows.h>

#include <oleacc.h>

#include <cstdio>
#include <functional>

namespace bench {
namespace {

constexpr wchar_t kPanelClass[] = L"PlayerPanel";
constexpr wchar_t kTitle[] = L"A title"; // SilentPlayer's
constexpr ULONGLONG kSampleMilliseconds = 20'000;

// The value of the panel's first element, its title line.
std::wstring titleLine(HWND panel) {
    using FromWindowFn = HRESULT(WINAPI*)(HWND, DWORD, REFIID, void**);
    static const auto fromWindow = [] {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        return reinterpret_cast<FromWindowFn>(reinterpret_cast<void*>(
            GetProcAddress(LoadLibraryW(L"oleacc.dll"), "AccessibleObjectFromWindow")));
    }();
    IAccessible* object = nullptr;
    if (fromWindow == nullptr || FAILED(fromWindow(panel, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                   reinterpret_cast<void**>(&object))))
        return L"";
    VARIANT first{};
    first.vt = VT_I4;
    first.lVal = 1;
    BSTR value = nullptr;
    object->get_accValue(first, &value);
    std::wstring line = value != nullptr ? value : L"";
    SysFreeString(value);
    object->Release();
    return line;
}

std::wstring run(const wchar_t* what, const std::function<void(SilentPlayer&)>& pace) {
    SilentPlayer player;
    const std::wstring ini = tools::besideProgram(L"bench-steady.ini");
    const tools::UniqueHandle panel = startBeside(L"player-panel.exe", L"--ini \"" + ini + L"\"");
    HWND window = nullptr;
    for (int i = 0; panel && i < 500 && window == nullptr; ++i, Sleep(20))
        window = FindWindowW(kPanelClass, nullptr);
    if (window == nullptr)
        return L"  " + std::wstring(what) + L": the panel could not start\n";
    for (int i = 0; i < 100 && titleLine(window) != kTitle; ++i)
        Sleep(50);
    pace(player);
    int title = 0, silent = 0, other = 0, changes = 0, samples = 0;
    std::wstring last = kTitle;
    for (const ULONGLONG start = GetTickCount64(); GetTickCount64() - start < kSampleMilliseconds;
         Sleep(100)) {
        const std::wstring line = titleLine(window);
        ++samples;
        title += line == kTitle ? 1 : 0;
        silent += line == L"Player not responding" ? 1 : 0;
        other += line != kTitle && line != L"Player not responding" ? 1 : 0;
        changes += line != last ? 1 : 0;
        last = line;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    player.answerAfter(0);
    player.pauseEvery(0, 0);
    WaitForSingleObject(panel.get(), 30'000);
    DeleteFileW(ini.c_str());
    wchar_t line[300];
    swprintf(
        line, 300,
        L"  %-44ls of %d readings the title %d, \"Player not responding\" %d, other %d; changed %d times\n",
        what, samples, title, silent, other, changes);
    return line;
}

} // namespace

std::wstring panelSteadyReport() {
    std::wstring report = L"The panel's title line over 20 s, read ten times a second:\n";
    report += run(L"answering every message after 40 ms", [](SilentPlayer& p) { p.answerAfter(40); });
    report += run(L"after 60 ms", [](SilentPlayer& p) { p.answerAfter(60); });
    report +=
        run(L"at once, pausing 1 s every 100th message", [](SilentPlayer& p) { p.pauseEvery(100, 1000); });
    return report;
}

} // namespace bench
