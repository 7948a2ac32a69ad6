#include "Status.h"

#include "Console.h"
#include "Json.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

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

std::wstring scrolled(const std::wstring& text, int step) {
    if (text.size() <= kScrollWidth)
        return text;
    const std::wstring loop = text + L"   " + text;
    return loop.substr(static_cast<std::size_t>(step) % (text.size() + 3), kScrollWidth);
}

} // namespace

namespace {

// What the panel shows, as the plug-in answered it; texts as they came.
struct Status {
    std::wstring name;
    std::optional<std::wstring> playing; // "play" or "pause"; none without a player
    bool running = false;
    std::wstring caption, time, title, artist, album, genre, year, track;
    bool remaining = true;
    long long length = 0, position = 0; // seconds
    int volumeLow = 0, volumeHigh = 0, volume = 0;
    std::optional<std::wstring> shuffle, repeat, mute;
    std::optional<int> rating; // none when the player offers no ratings
    std::vector<std::wstring> unsupported;
};

Status gather(const Host& host) {
    Status s;
    wchar_t name[64] = L"";
    host.plugin().GetPlayerName(name, 64);
    s.name = name;
    s.playing = host.state(L"playpause");
    s.running = host.prop(L"anything", 6) != 0;
    s.time = host.text(L"tracktime").value_or(L"");
    s.caption = host.text(L"tipcaption").value_or(L"");
    if (!s.running)
        return s;
    const auto text = [&](const wchar_t* field) { return host.text(field).value_or(L""); };
    s.title = text(L"title");
    s.artist = text(L"artist");
    s.album = text(L"album");
    s.genre = text(L"genre");
    s.year = text(L"year");
    s.track = text(L"tracknum");
    // Track-time values are seconds plus one; which time the text shows is a display setting.
    s.length = host.prop(L"tracktime", 3) - 1LL;
    s.position = host.prop(L"tracktime", 5) - 1LL;
    s.remaining = host.setting(L"trackTime").value_or(1) != 0;
    s.volumeLow = host.prop(L"volume", 4);
    s.volumeHigh = host.prop(L"volume", 3);
    s.volume = host.prop(L"volume", 5);
    s.shuffle = host.state(L"shuffle");
    s.repeat = host.state(L"repeat");
    s.mute = host.state(L"mute");
    if (tools::offersRatings(host.plugin(), host.instance())) {
        int stars = 0;
        for (const wchar_t* mark : {L"rating1", L"rating2", L"rating3", L"rating4", L"rating5"})
            stars += host.state(mark).value_or(L"off") == L"on" ? 1 : 0;
        s.rating = stars;
    }
    for (const wchar_t* control : kControls)
        if (host.prop(control, 2) != 0)
            s.unsupported.push_back(control);
    return s;
}

void printText(const Status& s) {
    const std::wstring state = !s.playing              ? L"(player not running)"
                               : *s.playing == L"play" ? L"\u25B6 playing"
                                                       : L"\u23F8 paused or stopped";
    print(s.name + L"  " + state + L"\n");
    if (!s.running) {
        print(L"  Caption  " + tools::visible(s.caption) + L"\n");
        print(L"  Time     " + tools::visible(s.time) + L"\n");
        return;
    }
    printField(L"Title    ", tools::visible(s.title));
    printField(L"Artist   ", tools::visible(s.artist));
    printField(L"Album    ", tools::visible(s.album));
    // "Genre    Pop   Year 2019   Track 1": the first label in the labels' column.
    std::wstring details;
    for (const auto& [label, text] :
         {std::pair{L"Genre", &s.genre}, {L"Year", &s.year}, {L"Track", &s.track}}) {
        if (text->empty())
            continue;
        std::wstring shownLabel = label;
        shownLabel.resize(details.empty() ? 9 : shownLabel.size() + 1, L' ');
        details += (details.empty() ? L"" : L"   ") + shownLabel + tools::visible(*text);
    }
    printField(L"", details);
    print(L"  Time     " + tools::visible(s.time) +
          (s.time == L"--:--" ? L""
           : s.remaining      ? L" remaining"
                              : L" elapsed") +
          L"   " + bar(s.position, 0, s.length) + L" " + clock(s.position) + L" / " + clock(s.length) +
          L"\n");
    print(L"  Volume   " + bar(s.volume, s.volumeLow, s.volumeHigh) + L" " + std::to_wstring(s.volume) +
          L" / " + std::to_wstring(s.volumeHigh) + L"\n");
    print(L"  Shuffle  " + s.shuffle.value_or(L"?") + L"   Repeat " + s.repeat.value_or(L"?") + L"   Mute " +
          s.mute.value_or(L"?") + L"\n");
    if (s.rating)
        print(L"  Rating   " + std::wstring(static_cast<std::size_t>(*s.rating), L'\u2605') +
              std::wstring(static_cast<std::size_t>(5 - *s.rating), L'\u2606') + L"\n");
    std::wstring unsupported;
    for (const std::wstring& control : s.unsupported)
        unsupported += (unsupported.empty() ? L"" : L", ") + control;
    print(L"  Not supported: " + (unsupported.empty() ? std::wstring(L"(none)") : unsupported) + L"\n");
}

void printJson(const Status& s) {
    JsonObject json;
    json.add(L"player", s.name).add(L"running", s.running).add(L"state", s.playing);
    json.add(L"caption", s.caption).add(L"time", s.time);
    if (s.running) {
        json.add(L"title", s.title).add(L"artist", s.artist).add(L"album", s.album).add(L"genre", s.genre);
        json.add(L"year", s.year).add(L"track", s.track);
        json.add(L"timeShows", s.remaining ? L"remaining" : L"elapsed");
        json.add(L"position", static_cast<std::int64_t>(s.position))
            .add(L"length", static_cast<std::int64_t>(s.length));
        json.add(L"volume", s.volume).add(L"volumeMin", s.volumeLow).add(L"volumeMax", s.volumeHigh);
        json.add(L"shuffle", s.shuffle).add(L"repeat", s.repeat).add(L"mute", s.mute);
        json.addJson(L"rating", s.rating ? std::to_wstring(*s.rating) : L"null");
        std::vector<std::wstring> unsupported;
        for (const std::wstring& control : s.unsupported)
            unsupported.push_back(jsonString(control));
        json.addJson(L"unsupported", jsonArray(unsupported));
    }
    print(json.text() + L"\n");
}

} // namespace

void printStatus(const Host& host, bool json) {
    const Status status = gather(host);
    json ? printJson(status) : printText(status);
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

FollowEnd follow(const Host& host) {
    std::wstring last;
    int silent = 0; // seconds in a row without an answer
    for (;;) {
        const Host::Player player = Host::player(); // at most a second
        if (player == Host::Player::Absent)
            return FollowEnd::PlayerQuit;
        if (player == Host::Player::NotResponding) {
            // A player busy for less than two seconds is followed on.
            if (++silent >= kFollowPatienceSeconds)
                return FollowEnd::NotResponding;
            continue;
        }
        silent = 0;
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
