#include "Probe.h"

#include "Console.h"
#include "Json.h"
#include "MessageNames.h"
#include "PlayerRemote.h"

#include <windows.h>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace player_host {
namespace {

using tools::print;

constexpr UINT kBound = 1000;
constexpr wchar_t kSentinel[] = L"\u2022probe\u2022";

class ProbeRun {
public:
    ProbeRun(HWND window, bool json) : window_(window), json_(json) {}

    // Text for the report; with --json the same facts go into one document instead.
    void say(const std::wstring& text) const {
        if (!json_)
            print(text);
    }
    std::vector<std::wstring> checks; // JSON objects {"ok":..,"what":..}
    JsonObject states, texts;

    // Every message to the player's window is bounded: a player that does not answer
    // in time is not asked again.
    std::optional<int> ask(UINT message, WPARAM wParam = 0) {
        if (!responding_)
            return std::nullopt;
        DWORD_PTR answer = 0;
        LARGE_INTEGER start, end, frequency;
        QueryPerformanceCounter(&start);
        const LRESULT ok =
            SendMessageTimeoutW(window_, message, wParam, 0, SMTO_ABORTIFHUNG, kBound, &answer);
        QueryPerformanceCounter(&end);
        QueryPerformanceFrequency(&frequency);
        slowest_ = std::max(slowest_, (end.QuadPart - start.QuadPart) * 1000.0 / frequency.QuadPart);
        if (ok == 0) {
            problem(std::wstring(tools::messageName(message)) + L" was not answered within 1 s");
            responding_ = false;
            return std::nullopt;
        }
        return static_cast<int>(answer);
    }

    // Asks for a text and checks that a nonzero answer put it into the title.
    void text(UINT message, WPARAM wParam = 0, bool quiet = false) {
        // SetWindowTextW would wait on the player without a bound.
        DWORD_PTR ignored = 0;
        if (!responding_)
            return;
        if (SendMessageTimeoutW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSentinel), SMTO_ABORTIFHUNG,
                                kBound, &ignored) == 0) {
            problem(L"WM_SETTEXT was not answered within 1 s");
            responding_ = false;
            return;
        }
        const auto answer = ask(message, wParam);
        if (!answer)
            return;
        wchar_t title[512] = L"";
        InternalGetWindowText(window_, title, 512); // the title as set, without a message
        const bool unchanged = std::wstring(title) == kSentinel;
        if (message == RM_PLAYLIST_ITEMTEXT && unchanged)
            // The plug-in reads the title whatever the answer: a title left as it was reads as
            // this entry's text, the previous entry's for an entry without one.
            problem(L"RM_PLAYLIST_ITEMTEXT for entry " + std::to_wstring(wParam) +
                    L" left the title unchanged (an entry without text must set an empty title)");
        else if (*answer != 0 && unchanged)
            problem(std::wstring(tools::messageName(message)) + L" answered " + std::to_wstring(*answer) +
                    L" but left the title unchanged");
        if (quiet)
            return;
        say(L"  " + pad(tools::messageName(message)) +
            (*answer ? L"\"" + tools::visible(title) + L"\"" : L"(no text)") + L"\n");
        texts.add(tools::messageName(message),
                  *answer ? std::optional<std::wstring>(title) : std::optional<std::wstring>());
    }

    void check(bool ok, const std::wstring& what) {
        if (ok) {
            say(L"  ok       " + what + L"\n");
            checks.push_back(JsonObject().add(L"ok", true).add(L"what", what).text());
        } else {
            problem(what);
        }
    }

    void problem(const std::wstring& what) {
        ++problems_;
        say(L"  PROBLEM  " + what + L"\n");
        checks.push_back(JsonObject().add(L"ok", false).add(L"what", what).text());
    }

    static std::wstring pad(std::wstring text) {
        text.resize(std::max<std::size_t>(text.size() + 1, 22), L' ');
        return text;
    }

    int problems() const { return problems_; }
    bool responding() const { return responding_; }
    double slowest() const { return slowest_; }

private:
    HWND window_;
    bool json_;
    int problems_ = 0;
    double slowest_ = 0;
    bool responding_ = true;
};

} // namespace

int probe(bool json) {
    const HWND window = FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr);
    if (window == nullptr) {
        print(json ? L"{\"running\":false}\n" : L"No player window of class VRX_MEDIA_REMOTE is running.\n");
        return kProbeNotRunning;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    ProbeRun run(window, json);
    run.say(L"Player window of class VRX_MEDIA_REMOTE, process " + std::to_wstring(process) + L"\n");

    run.say(L"Supported (RM_IS_SUPPORTED):\n");
    std::wstring yes, no, unasked;
    std::vector<std::wstring> supported, unsupported;
    for (const tools::MessageName& entry : tools::MessageNames) {
        if (entry.message == RM_IS_SUPPORTED || entry.message == RM_TEXT_RESERVED1 ||
            entry.message == RM_TEXT_RESERVED2)
            continue;
        const auto answer = run.ask(RM_IS_SUPPORTED, entry.message);
        if (!answer) { // after the first silence nothing more is asked, and nothing is concluded
            unasked += std::wstring(entry.name) + L" ";
            continue;
        }
        (*answer ? yes : no) += std::wstring(entry.name) + L" ";
        (*answer ? supported : unsupported).push_back(jsonString(entry.name));
    }
    run.say(L"  yes: " + (yes.empty() ? L"(none)" : yes) + L"\n  no:  " + (no.empty() ? L"(none)" : no) +
            L"\n");
    if (!unasked.empty())
        run.say(L"  not checked: " + unasked + L"\n");
    const bool ratings = run.ask(RM_IS_SUPPORTED, RM_GET_RATING).value_or(0) != 0;
    const bool playlist = run.ask(RM_IS_SUPPORTED, RM_PLAYLIST_COUNT).value_or(0) != 0;

    int maxVolume = 0, volume = 0, length = 0, position = 0;
    if (run.responding()) {
        run.say(L"States:\n");
        for (UINT message = RM_STATE_PLAYPAUSE; message <= RM_STATE_RATING5; ++message)
            if (const auto answer = run.ask(message)) {
                run.say(L"  " + ProbeRun::pad(tools::messageName(message)) + std::to_wstring(*answer) +
                        L"\n");
                run.states.add(tools::messageName(message), *answer);
            }
    }
    if (run.responding()) {
        run.say(L"Texts (each must arrive in the window title):\n");
        for (UINT message : {RM_TEXT_TITLE, RM_TEXT_ALBUM, RM_TEXT_ARTIST, RM_TEXT_TRACKNAME, RM_TEXT_GENRE,
                             RM_TEXT_YEAR, RM_TEXT_TRACKNUM, RM_TEXT_TIPCAPTION, RM_TEXT_TRACKLEN})
            run.text(message);
    }
    if (run.responding()) {
        run.say(L"Numbers:\n");
        maxVolume = run.ask(RM_GET_MAXVOLUME).value_or(0);
        volume = run.ask(RM_GET_VOLUME).value_or(0);
        length = run.ask(RM_GET_TRACKLENGTH).value_or(0);
        position = run.ask(RM_GET_POSITION).value_or(0);
        if (run.responding())
            run.say(L"  volume " + std::to_wstring(volume) + L" of " + std::to_wstring(maxVolume) +
                    L", position " + std::to_wstring(position) + L" s of " + std::to_wstring(length) +
                    L" s\n");
    }
    if (run.responding()) {
        run.say(L"Consistency:\n");
        run.check(maxVolume > 0, L"the maximum volume is positive");
        run.check(volume >= 0 && volume <= maxVolume, L"the volume lies within 0 and the maximum");
        run.check(length >= 0, L"the track length is not negative");
        run.check(position >= 0 && (length == 0 || position <= length),
                  L"the position lies within the track");
        if (ratings) {
            const std::optional<int> rating = run.ask(RM_GET_RATING);
            if (rating)
                run.check(*rating >= 0 && *rating <= 5,
                          L"the rating " + std::to_wstring(*rating) + L" lies within 0 to 5");
        }
        for (UINT unused : {RM_TEXT_RESERVED1, RM_TEXT_RESERVED2})
            if (const std::optional<int> answer = run.ask(unused))
                run.check(*answer == 0, L"the unused number " + std::to_wstring(unused) + L" answers 0");
    }
    if (run.responding() && playlist) {
        const std::optional<int> count = run.ask(RM_PLAYLIST_COUNT);
        const std::optional<int> current = run.ask(RM_PLAYLIST_CURRENT);
        if (count && current) {
            run.check(*count >= 0, L"the playlist count " + std::to_wstring(*count) + L" is not negative");
            run.check(*count == 0 || (*current >= 0 && *current < *count),
                      L"the current entry " + std::to_wstring(*current) + L" lies within the playlist");
            const int before = run.problems();
            const int asked = std::min(*count, 1000);
            for (int i = 0; i < asked && run.responding(); ++i)
                run.text(RM_PLAYLIST_ITEMTEXT, static_cast<WPARAM>(i), true);
            if (run.problems() == before && run.responding())
                run.say(L"  ok       " + std::to_wstring(asked) +
                        L" playlist texts arrived in the title, each request setting it\n");
        }
    }
    if (!run.responding())
        run.say(L"Not checked: everything after the first message left unanswered.\n");
    const std::wstring result = !run.responding()     ? std::wstring(L"player not responding")
                                : run.problems() == 1 ? std::wstring(L"1 problem")
                                                      : std::to_wstring(run.problems()) + L" problems";
    if (json) {
        JsonObject report;
        report.add(L"running", true).add(L"process", static_cast<std::int64_t>(process));
        report.addJson(L"supported", jsonArray(supported)).addJson(L"unsupported", jsonArray(unsupported));
        report.addJson(L"states", run.states.text()).addJson(L"texts", run.texts.text());
        report.add(L"volume", volume)
            .add(L"maxVolume", maxVolume)
            .add(L"position", position)
            .add(L"length", length);
        report.addJson(L"checks", jsonArray(run.checks)).add(L"problems", run.problems());
        report.add(L"responding", run.responding()).add(L"slowestMs", run.slowest()).add(L"result", result);
        print(report.text() + L"\n");
    } else {
        if (run.responding()) {
            wchar_t slowest[64];
            swprintf(slowest, 64, L"%.2f", run.slowest());
            print(L"Slowest answer: " + std::wstring(slowest) + L" ms\n");
        }
        print(L"Result: " + result + L"\n");
    }
    return run.responding() ? run.problems() : kProbeNotResponding;
}

} // namespace player_host
