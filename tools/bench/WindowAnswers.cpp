#include "WindowAnswers.h"

#include "HostRefresh.h"
#include "PlayerRemote.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace bench {
namespace {

double milliseconds() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// What a 16-call refresh sends (tools/common/HostRefresh.h), wParam with it.
constexpr std::pair<UINT, WPARAM> kRefresh[] = {
    {RM_STATE_PLAYPAUSE, 0}, {RM_STATE_SHUFFLE, 0},   {RM_STATE_REPEAT, 0},  {RM_STATE_MUTE, 0},
    {RM_TEXT_TITLE, 0},      {RM_TEXT_ARTIST, 0},     {RM_TEXT_ALBUM, 0},    {RM_GET_TRACKLENGTH, 0},
    {RM_GET_POSITION, 0},    {RM_GET_MAXVOLUME, 0},   {RM_GET_VOLUME, 0},    {RM_GET_TRACKLENGTH, 0},
    {RM_GET_POSITION, 0},    {RM_TEXT_TIPCAPTION, 0}, {RM_STATE_RATING1, 0}, {RM_IS_SUPPORTED, RM_PLAYPAUSE},
};

} // namespace

std::wstring windowAnswersReport(const tools::PluginLibrary& plugin, int refreshes) {
    const HWND window = FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr);
    if (window == nullptr)
        return L"No player window of class VRX_MEDIA_REMOTE is running: start the player first.\n";
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    PlayerInstance* instance = plugin.InitPlayer(L"");
    std::vector<double> each, whole;
    int unanswered = 0;
    const ULONGLONG start = GetTickCount64();
    for (int refresh = 0; refresh < refreshes; ++refresh) {
        const ULONGLONG due = start + 1000ull * refresh;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        for (const auto& [message, wParam] : kRefresh) {
            DWORD_PTR answer = 0;
            const double sent = milliseconds();
            if (SendMessageTimeoutW(window, message, wParam, 0, SMTO_ABORTIFHUNG, 1000, &answer) == 0)
                ++unanswered;
            each.push_back(milliseconds() - sent);
        }
        const double began = milliseconds(); // the same refresh as a host makes it
        tools::hostRefresh(plugin, instance, tools::kBusyHostRefreshCalls);
        whole.push_back(milliseconds() - began);
    }
    plugin.DestroyPlayer(instance);
    std::sort(each.begin(), each.end());
    wchar_t line[400];
    swprintf(
        line, 400,
        L"The player window of process %lu, %d refreshes of 16 messages a second apart:\n"
        L"  each message answered in %.3f ms (median), %.3f ms (99th percentile), %.3f ms at the slowest, of "
        L"%zu; %d unanswered\n"
        L"  the refresh through the plug-in (16 calls): %.1f ms at the slowest\n",
        process, refreshes, each[each.size() / 2], each[each.size() * 99 / 100], each.back(), each.size(),
        unanswered, *std::max_element(whole.begin(), whole.end()));
    return line;
}

} // namespace bench
