#include "Status.h"

#include "Console.h"
#include "Json.h"

#include <algorithm>
#include <array>
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

// What the panel shows, as the plug-in answered it; texts as they came, and nothing
// for a value that did not arrive.
struct Status {
    std::wstring name;
    Host::Player player = Host::Player::Absent; // as known once everything was asked
    std::optional<std::wstring> playing;        // "play" or "pause"
    std::optional<std::wstring> caption, time, title, artist, album, genre, year, track;
    // What the plug-in wrote in place of the time and caption when they did not arrive.
    std::optional<std::wstring> timeStandIn, captionStandIn;
    bool remaining = true;
    std::optional<int> length, position; // seconds
    std::optional<int> volumeLow, volumeHigh, volume;
    std::optional<std::wstring> shuffle, repeat, mute;
    bool ratingsKnown = false;                // whether the player said if it offers ratings
    std::optional<std::array<bool, 5>> stars; // star n lit: the n-star indicator is on
    std::optional<std::vector<std::wstring>> unsupported;
    int missing = 0; // values asked of a running player that did not arrive

    bool running() const { return player != Host::Player::Absent; }
};

template <typename T>
std::optional<T> counted(Status& s, std::optional<T> value) {
    if (!value)
        ++s.missing;
    return value;
}

std::optional<int> seconds(std::optional<int> plusOne) {
    return plusOne ? std::optional<int>(static_cast<int>(*plusOne - 1LL)) : std::nullopt;
}

// The time as the plug-in's "tracktime" shows it, from the length and position already
// asked: the remaining or elapsed m:ss, "--:--" without a length.
std::wstring timeText(int length, int position, bool remaining) {
    if (length <= 0)
        return L"--:--";
    return clock(remaining ? std::max(0LL, static_cast<long long>(length) - position) : position);
}

// Each value shown is asked once, the ones a person looks for first.
Status gather(const Host& host) {
    Status s;
    wchar_t name[64] = L"";
    host.plugin().GetPlayerName(name, 64);
    s.name = name;
    s.playing = host.state(L"playpause");
    s.player = host.player();
    if (!s.running()) {
        // What the plug-in writes in their place, asking nothing of an absent player.
        s.time = host.text(L"tracktime", 512, &s.timeStandIn);
        s.caption = host.text(L"tipcaption", 512, &s.captionStandIn);
        return s;
    }
    if (!s.playing)
        ++s.missing;
    const auto text = [&](const wchar_t* field) { return counted(s, host.text(field)); };
    s.title = text(L"title");
    s.artist = text(L"artist");
    s.album = text(L"album");
    // Track-time values are seconds plus one; which time the text shows is a display setting.
    s.length = counted(s, seconds(host.prop(L"tracktime", PLAYER_PROP_UPPER)));
    s.position = counted(s, seconds(host.prop(L"tracktime", PLAYER_PROP_VALUE)));
    s.remaining = host.setting(L"trackTime").value_or(1) != 0;
    if (s.length && s.position)
        s.time = timeText(*s.length, *s.position, s.remaining);
    s.volumeLow = counted(s, host.prop(L"volume", PLAYER_PROP_LOWER));
    s.volumeHigh = counted(s, host.prop(L"volume", PLAYER_PROP_UPPER));
    s.volume = counted(s, host.prop(L"volume", PLAYER_PROP_VALUE));
    s.shuffle = counted(s, host.state(L"shuffle"));
    s.repeat = counted(s, host.state(L"repeat"));
    s.mute = counted(s, host.state(L"mute"));
    s.genre = text(L"genre");
    s.year = text(L"year");
    s.track = text(L"tracknum");
    s.caption = host.text(L"tipcaption", 512, &s.captionStandIn);
    if (!s.caption)
        ++s.missing;
    // Whether it offers ratings, asked of the player as PlayerPlugin.h says a host that
    // must know does: one message, where the context menu would ask nine.
    const std::optional<bool> ratings =
        host.player() == Host::Player::Responding ? tools::askedOffersRatings() : std::nullopt;
    s.ratingsKnown = ratings.has_value();
    if (!s.ratingsKnown)
        ++s.missing;
    if (ratings.value_or(false)) {
        std::array<bool, 5> lit{};
        bool all = true;
        for (std::size_t n = 0; n < lit.size(); ++n) {
            const std::wstring mark = L"rating" + std::to_wstring(n + 1);
            const std::optional<std::wstring> on = host.state(mark.c_str());
            all = all && on.has_value();
            lit[n] = on.value_or(L"off") == L"on";
        }
        s.stars = all ? std::optional(lit) : std::nullopt;
        if (!all)
            ++s.missing;
    }
    std::vector<std::wstring> unsupported;
    bool allAnswered = true;
    for (const wchar_t* control : kControls) {
        const std::optional<int> answer = host.prop(control, PLAYER_PROP_UNSUPPORTED);
        allAnswered = allAnswered && answer.has_value();
        if (answer.value_or(0) != 0)
            unsupported.push_back(control);
    }
    s.unsupported = allAnswered ? std::optional(unsupported) : std::nullopt;
    if (!allAnswered)
        ++s.missing;
    s.player = host.player();
    return s;
}

constexpr wchar_t kNotAnswered[] = L"not answered";

std::wstring orNotAnswered(const std::optional<std::wstring>& text) {
    return text ? tools::visible(*text) : kNotAnswered;
}

std::wstring starsText(const std::array<bool, 5>& lit) {
    std::wstring text;
    for (const bool on : lit)
        text += on ? L'\u2605' : L'\u2606';
    return text;
}

void printText(const Status& s) {
    // The state as it arrived, and whether the player stopped answering: the same facts
    // as the JSON document's "state" and "responding".
    const std::wstring state = !s.running()            ? L"(player not running)"
                               : !s.playing            ? L"(state not answered)"
                               : *s.playing == L"play" ? L"\u25B6 playing"
                                                       : L"\u23F8 paused or stopped";
    print(s.name + L"  " + state +
          (s.running() && s.player == Host::Player::NotResponding ? L"  (player not responding)" : L"") +
          L"\n");
    if (!s.running())
        return;
    // A text that did not arrive is said so; one the player does not have is left out.
    const auto field = [](const wchar_t* label, const std::optional<std::wstring>& text) {
        if (!text || !text->empty())
            printField(label, orNotAnswered(text));
    };
    field(L"Title    ", s.title);
    field(L"Artist   ", s.artist);
    field(L"Album    ", s.album);
    // "Genre    Pop   Year 2019   Track 1": the first label in the labels' column.
    std::wstring details;
    for (const auto& [label, text] :
         {std::pair{L"Genre", &s.genre}, {L"Year", &s.year}, {L"Track", &s.track}}) {
        if (*text && (*text)->empty())
            continue;
        std::wstring shownLabel = label;
        shownLabel.resize(details.empty() ? 9 : shownLabel.size() + 1, L' ');
        details += (details.empty() ? L"" : L"   ") + shownLabel + orNotAnswered(*text);
    }
    printField(L"", details);
    const std::wstring time = s.time ? tools::visible(*s.time) : std::wstring(kNotAnswered);
    std::wstring timeLine = L"  Time     " + time;
    if (s.length && s.position)
        timeLine += (!s.time || time == L"--:--" ? L""
                     : s.remaining               ? L" remaining"
                                                 : L" elapsed") +
                    std::wstring(L"   ") + bar(*s.position, 0, *s.length) + L" " + clock(*s.position) +
                    L" / " + clock(*s.length);
    else
        timeLine += std::wstring(L"   (") +
                    (!s.position && !s.length ? L"position and length"
                     : !s.position            ? L"position"
                                              : L"length") +
                    L" not answered)";
    print(timeLine + L"\n");
    if (s.volume && s.volumeLow && s.volumeHigh)
        print(L"  Volume   " + bar(*s.volume, *s.volumeLow, *s.volumeHigh) + L" " +
              std::to_wstring(*s.volume) + L" / " + std::to_wstring(*s.volumeHigh) + L"\n");
    else
        print(L"  Volume   " + std::wstring(kNotAnswered) + L"\n");
    print(L"  Shuffle  " + orNotAnswered(s.shuffle) + L"   Repeat " + orNotAnswered(s.repeat) + L"   Mute " +
          orNotAnswered(s.mute) + L"\n");
    if (!s.ratingsKnown)
        print(L"  Rating   " + std::wstring(kNotAnswered) + L"\n");
    else if (s.stars)
        print(L"  Rating   " + starsText(*s.stars) + L"\n");
    std::wstring unsupported;
    for (const std::wstring& control : s.unsupported.value_or(std::vector<std::wstring>{}))
        unsupported += (unsupported.empty() ? L"" : L", ") + control;
    print(L"  Not supported: " +
          (!s.unsupported        ? std::wstring(kNotAnswered)
           : unsupported.empty() ? std::wstring(L"(none)")
                                 : unsupported) +
          L"\n");
}

std::wstring number(const std::optional<int>& value) {
    return value ? std::to_wstring(*value) : L"null";
}

void printJson(const Status& s) {
    JsonObject json;
    json.add(L"player", s.name).add(L"running", s.running());
    json.add(L"responding", s.player == Host::Player::Responding).add(L"state", s.playing);
    // The time and caption as the player gave them; the plug-in's stand-ins apart.
    json.add(L"caption", s.caption).add(L"time", s.time);
    if (s.captionStandIn)
        json.add(L"captionStandIn", *s.captionStandIn);
    if (s.timeStandIn)
        json.add(L"timeStandIn", *s.timeStandIn);
    if (s.running()) {
        json.add(L"title", s.title).add(L"artist", s.artist).add(L"album", s.album).add(L"genre", s.genre);
        json.add(L"year", s.year).add(L"track", s.track);
        json.add(L"timeShows", s.remaining ? L"remaining" : L"elapsed");
        json.addJson(L"position", number(s.position)).addJson(L"length", number(s.length));
        json.addJson(L"volume", number(s.volume))
            .addJson(L"volumeMin", number(s.volumeLow))
            .addJson(L"volumeMax", number(s.volumeHigh));
        json.add(L"shuffle", s.shuffle).add(L"repeat", s.repeat).add(L"mute", s.mute);
        // The stars lit, from the five indicators: the rating, for a player that lights
        // star n while the rating is n or more.
        std::wstring rating = L"null", stars = L"null";
        if (s.stars) {
            int lit = 0;
            std::vector<std::wstring> each;
            for (std::size_t n = 0; n < s.stars->size(); ++n) {
                each.push_back((*s.stars)[n] ? L"true" : L"false");
                if ((*s.stars)[n])
                    lit = static_cast<int>(n) + 1;
            }
            rating = std::to_wstring(lit);
            stars = jsonArray(each);
        }
        json.addJson(L"rating", rating).addJson(L"stars", stars);
        std::vector<std::wstring> unsupported;
        for (const std::wstring& control : s.unsupported.value_or(std::vector<std::wstring>{}))
            unsupported.push_back(jsonString(control));
        json.addJson(L"unsupported", s.unsupported ? jsonArray(unsupported) : L"null");
        json.add(L"notAnswered", s.missing);
        if (s.missing > 0)
            json.add(L"error", L"player not responding: " + std::to_wstring(s.missing) +
                                   (s.missing == 1 ? L" value" : L" values") + L" did not arrive")
                .add(L"exitCode", 4);
    } else {
        json.add(L"error", L"player not running").add(L"exitCode", 3);
    }
    printDocument(json.text());
}

} // namespace

int printStatus(const Host& host, bool json) {
    const Status status = gather(host);
    json ? printJson(status) : printText(status);
    return status.running() ? status.missing : kStatusNotRunning;
}

namespace {

// The watch line: time, play mark, and the title (or the plug-in's name without a player).
std::wstring trackLine(const Host& host, int scrollStep) {
    const auto state = host.state(L"playpause");
    const Host::Player player = host.player();
    if (player == Host::Player::NotResponding)
        return L"--:-- \u25A0 player not responding";
    if (player == Host::Player::Absent) {
        wchar_t name[64] = L"";
        host.plugin().GetPlayerName(name, 64);
        return L"--:-- \u25A0 " + std::wstring(name) + L" (player not running)";
    }
    const std::wstring mark = !state ? L"\u25A0" : *state == L"play" ? L"\u25B6" : L"\u23F8";
    std::wstring title = field(host, L"title");
    if (scrollStep >= 0 && host.prop(L"title", PLAYER_PROP_SCROLLS).value_or(0) != 0)
        title = scrolled(title, scrollStep);
    return field(host, L"tracktime") + L" " + mark + L" " + title;
}

std::wstring timeOfDay() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    wchar_t text[16];
    wsprintfW(text, L"%02d:%02d:%02d", now.wHour, now.wMinute, now.wSecond);
    return text;
}

} // namespace

void follow(const Host& host) {
    // The whole line once a second, the title between: a track change shows within a
    // quarter of a second, and a slow player is asked little. A player is said not to
    // respond once it has not answered for two seconds, from when it stopped: a pause,
    // or a refresh a slow player could not answer in full, is no silence to a reader.
    constexpr ULONGLONG kNotRespondingAfter = 2000;
    std::wstring last, lastTitle;
    ULONGLONG quietSince = 0;
    std::wstring stoppedAt;
    bool said = false;
    for (unsigned tick = 0;; ++tick) {
        const bool whole = tick % 4 == 0;
        const std::optional<std::wstring> title = whole ? std::nullopt : host.text(L"title");
        const bool changed = title && *title != lastTitle;
        const std::wstring line = whole || changed ? trackLine(host, -1) : last;
        switch (host.player()) {
        case Host::Player::Absent:
            return;
        case Host::Player::NotResponding:
            if (quietSince == 0) {
                quietSince = GetTickCount64();
                stoppedAt = timeOfDay();
            }
            if (!said && GetTickCount64() - quietSince >= kNotRespondingAfter) {
                print(L"not responding since " + stoppedAt + L"\n");
                said = true;
            }
            break;
        case Host::Player::Responding:
            if (said)
                print(L"answering again at " + timeOfDay() + L"\n");
            said = false;
            quietSince = 0;
            if (title)
                lastTitle = *title;
            if (line != last && (whole || changed))
                print(line + L"\n");
            last = line;
            break;
        }
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
