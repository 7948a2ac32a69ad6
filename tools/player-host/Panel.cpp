#include "Panel.h"

#include "Console.h"
#include "Unique.h"

#include <algorithm>
#include <string>
#include <utility>

namespace player_host {
namespace {

using tools::print;

constexpr int kBarWidth = 20;
constexpr std::size_t kScrollWidth = 24;

const wchar_t* kControls[] = {L"playpause", L"play",   L"pause",     L"stop",     L"next",
                              L"prev",      L"mute",   L"quit",      L"shuffle",  L"repeat",
                              L"eject",     L"volume", L"tracktime", L"*playlist"};

std::wstring bar(long long value, long long low, long long high) {
    const long long span = std::max(1LL, high - low);
    const long long filled =
        std::clamp((value - low) * kBarWidth / span, 0LL, static_cast<long long>(kBarWidth));
    return L"[" + std::wstring(static_cast<std::size_t>(filled), L'\u2588') +
           std::wstring(static_cast<std::size_t>(kBarWidth - filled), L'\u2591') + L"]";
}

std::wstring clock(long long seconds) {
    wchar_t text[32];
    wsprintfW(text, L"%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

// A text of the player, safe to print.
std::wstring field(const Host& host, const wchar_t* name) {
    return tools::visible(host.text(name).value_or(L""));
}

// "  Label    text\n", or nothing for an empty text.
void printField(const wchar_t* label, const std::wstring& text) {
    if (!text.empty())
        print(std::wstring(L"  ") + label + text + L"\n");
}

// Whether the player offers ratings: only then has the context menu its Rate submenu.
bool offersRatings(const Host& host) {
    tools::UniqueMenu menu(CreatePopupMenu());
    return host.plugin().queryCtxMenu(host.instance(), menu.get(), 0, 1) > 4;
}

std::wstring onOff(const Host& host, const wchar_t* name) {
    return host.state(name).value_or(L"?");
}

std::wstring playState(const Host& host) {
    const auto state = host.state(L"playpause");
    if (!state)
        return L"(player not running)";
    return *state == L"play" ? L"\u25B6 playing" : L"\u23F8 paused or stopped";
}

std::wstring stars(const Host& host) {
    std::wstring marks;
    for (const wchar_t* name : {L"rating1", L"rating2", L"rating3", L"rating4", L"rating5"})
        marks += host.state(name).value_or(L"off") == L"on" ? L'\u2605' : L'\u2606';
    return marks;
}

std::wstring scrolled(const std::wstring& text, int step) {
    if (text.size() <= kScrollWidth)
        return text;
    const std::wstring loop = text + L"   " + text;
    return loop.substr(static_cast<std::size_t>(step) % (text.size() + 3), kScrollWidth);
}

} // namespace

void printStatus(const Host& host) {
    wchar_t name[64] = L"";
    host.plugin().GetPlayerName(name, 64);
    print(std::wstring(name) + L"  " + playState(host) + L"\n");

    const bool running = host.prop(L"anything", 6) != 0;
    const std::wstring time = field(host, L"tracktime");
    if (!running) {
        print(L"  Caption  " + field(host, L"tipcaption") + L"\n");
        print(L"  Time     " + time + L"\n");
        return;
    }
    printField(L"Title    ", field(host, L"title"));
    printField(L"Artist   ", field(host, L"artist"));
    printField(L"Album    ", field(host, L"album"));
    std::wstring details;
    for (const auto& [label, name] :
         {std::pair{L"Genre ", L"genre"}, {L"Year ", L"year"}, {L"Track ", L"tracknum"}})
        if (const std::wstring text = field(host, name); !text.empty())
            details += (details.empty() ? L"" : L"   ") + std::wstring(label) + text;
    printField(L"", details);

    // Track-time values are seconds plus one; which time the text shows is a display setting.
    const long long length = host.prop(L"tracktime", 3) - 1LL;
    const long long position = host.prop(L"tracktime", 5) - 1LL;
    const wchar_t* which = host.setting(L"trackTime").value_or(1) != 0 ? L" remaining" : L" elapsed";
    print(L"  Time     " + time + (time == L"--:--" ? L"" : which) + L"   " + bar(position, 0, length) +
          L" " + clock(position) + L" / " + clock(length) + L"\n");

    const int low = host.prop(L"volume", 4);
    const int high = host.prop(L"volume", 3);
    const int volume = host.prop(L"volume", 5);
    print(L"  Volume   " + bar(volume, low, high) + L" " + std::to_wstring(volume) + L" / " +
          std::to_wstring(high) + L"\n");
    print(L"  Shuffle  " + onOff(host, L"shuffle") + L"   Repeat " + onOff(host, L"repeat") + L"   Mute " +
          onOff(host, L"mute") + L"\n");
    if (offersRatings(host))
        print(L"  Rating   " + stars(host) + L"\n");

    std::wstring unsupported;
    for (const wchar_t* control : kControls)
        if (host.prop(control, 2) != 0)
            unsupported += (unsupported.empty() ? L"" : L", ") + std::wstring(control);
    print(L"  Not supported: " + (unsupported.empty() ? std::wstring(L"(none)") : unsupported) + L"\n");
}

namespace {

// The watch line: time, play mark, and the title (or the caption without a player).
std::wstring trackLine(const Host& host, int scrollStep) {
    const auto state = host.state(L"playpause");
    const std::wstring mark = !state ? L"\u25A0" : *state == L"play" ? L"\u25B6" : L"\u23F8";
    std::wstring title = field(host, L"title");
    if (scrollStep >= 0 && host.prop(L"title", 1) != 0)
        title = scrolled(title, scrollStep);
    return field(host, L"tracktime") + L" " + mark + L" " + (state ? title : field(host, L"tipcaption"));
}

} // namespace

bool follow(const Host& host) {
    std::wstring last;
    for (;;) {
        const Host::Player player = Host::player();
        if (player == Host::Player::Absent)
            return true;
        if (player == Host::Player::NotResponding)
            return false;
        const std::wstring line = trackLine(host, -1);
        if (line != last)
            print(line + L"\n");
        last = line;
        Sleep(250);
    }
}

void watch(const Host& host, int seconds) {
    for (int step = 0; step < seconds; ++step) {
        if (step > 0)
            Sleep(1000);
        print(trackLine(host, step) + L"\n");
    }
}

} // namespace player_host
