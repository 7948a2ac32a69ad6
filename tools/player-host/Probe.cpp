#include "Probe.h"

#include "Console.h"
#include "Json.h"
#include "MessageNames.h"
#include "PaceVerdict.h"
#include "PlayerRemote.h"

#include <windows.h>
#include <cstdint>
#include <algorithm>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace player_host {
namespace {

using tools::print;

// A pause of a second is a pace, not a silence: it is waited for, and judged as hosts meet it.
constexpr UINT kBound = 2000;
// Answers in a row slower than the plug-in's one question after a silence: hosts would see
// the player not responding, and the probe asks nothing more.
constexpr int kTooSlowInARow = 3;
// The pace is measured over this many answers more, or this long, whichever comes first.
constexpr int kPaceAnswers = 200;
constexpr double kPaceMilliseconds = 3000;
constexpr wchar_t kSentinel[] = L"\u2022probe\u2022";

// The parts of the report, in the order they are checked; what the first silence
// leaves unchecked is listed by these names.
constexpr const wchar_t* kParts[] = {L"supported messages", L"states", L"texts",   L"numbers",
                                     L"consistency",        L"seek",   L"ratings", L"playlist"};

class ProbeRun {
public:
    ProbeRun(HWND window, bool json) : window_(window), json_(json) { PlayerRemoteOpenTurn(&turn_); }
    ~ProbeRun() { PlayerRemoteCloseTurn(&turn_); }
    ProbeRun(const ProbeRun&) = delete;
    ProbeRun& operator=(const ProbeRun&) = delete;

    // Text for the report; with --json the same facts go into one document instead.
    void say(const std::wstring& text) const {
        if (!json_)
            print(text);
    }
    std::vector<std::wstring> checks; // JSON objects {"ok":..,"what":..}
    JsonObject states, texts;

    // Starts a part of the report; false once the probe stopped asking (the player did
    // not answer, or answers too slowly), and the part is then noted as not checked.
    bool part(const wchar_t* name) {
        if (!asking())
            unchecked_.push_back(name);
        return asking();
    }
    const std::vector<std::wstring>& unchecked() const { return unchecked_; }

    // Every message to the player's window is bounded: a player that does not answer
    // in time is not asked again, nor one whose hosts would see it not responding.
    std::optional<int> ask(UINT message, WPARAM wParam = 0, UINT flags = 0) {
        if (!asking())
            return std::nullopt;
        DWORD_PTR answer = 0;
        const double start = now();
        const LRESULT ok =
            SendMessageTimeoutW(window_, message, wParam, 0, SMTO_ABORTIFHUNG | flags, kBound, &answer);
        const double took = now() - start;
        if (ok == 0) {
            if (took < kBound / 2.0 && IsHungAppWindow(window_)) {
                problem(L"Windows counts the player as hung (it has taken no messages for 5 s): nothing was "
                        L"asked");
                stopped_ = Stopped::Hung;
            } else {
                problem(std::wstring(tools::messageName(message)) + L" was not answered within 2 s");
                stopped_ = Stopped::Unanswered;
            }
            return std::nullopt;
        }
        answered(message, took);
        return static_cast<int>(answer);
    }

    // Asks for a text and checks that a nonzero answer put it into the title. The request
    // and the reading of its reply take the title's turn, as the plug-in does.
    void text(UINT message, WPARAM wParam = 0, bool quiet = false) {
        if (!asking())
            return;
        // Waited for as the plug-in waits, and taken over only from a thread that ended.
        BOOL again = FALSE;
        const ULONGLONG deadline = GetTickCount64() + kBound;
        for (LONG64 holder = PlayerRemoteTryTakeTurn(&turn_, &again); holder != 0;
             holder = PlayerRemoteTryTakeTurn(&turn_, &again)) {
            if (PlayerRemoteTakeOverTurn(&turn_, holder))
                break;
            if (GetTickCount64() >= deadline) {
                noteTurnHeld();
                return;
            }
            Sleep(1);
        }
        textInTurn(message, wParam, quiet);
        PlayerRemoteGiveTurn(&turn_);
    }

    void check(bool ok, const std::wstring& passed, const std::wstring& failed) {
        if (ok) {
            say(L"  ok       " + passed + L"\n");
            checks.push_back(JsonObject().add(L"ok", true).add(L"what", passed).text());
        } else {
            problem(failed);
        }
    }

    void problem(const std::wstring& what) {
        ++problems_;
        say(L"  PROBLEM  " + what + L"\n");
        checks.push_back(JsonObject().add(L"ok", false).add(L"what", what).text());
    }

    // Another program changed the title between a request of the probe's and its
    // reading: what the probe read may be that program's reply.
    void noteOtherProgram() {
        if (others_++ == 0)
            say(L"  NOTE     another program is asking the player for texts at the same time: the title "
                L"changed between a request and the reading of its reply\n");
    }
    int others() const { return others_; }

    static std::wstring pad(std::wstring text) {
        text.resize(std::max<std::size_t>(text.size() + 1, 22), L' ');
        return text;
    }

    int problems() const { return problems_; }
    // The player answered every message asked, hung or not: no "not responding".
    bool responding() const { return stopped_ == Stopped::No || stopped_ == Stopped::TooSlow; }
    bool tooSlow() const { return stopped_ == Stopped::TooSlow; }
    bool asking() const { return stopped_ == Stopped::No; }
    // The slowest answers, slowest first: message name and milliseconds.
    const std::vector<std::pair<std::wstring, double>>& slowest() const { return slowest_; }
    int answers() const { return answers_; }
    const std::vector<double>& times() const { return times_; }

    static std::wstring milliseconds(double ms) {
        wchar_t text[32];
        swprintf(text, 32, L"%.1f ms", ms);
        return text;
    }
    std::wstring slowestText() const {
        std::wstring text;
        for (const auto& [name, ms] : slowest_)
            text += (text.empty() ? L"" : L", ") + name + L" " + milliseconds(ms);
        return text;
    }

private:
    enum class Stopped { No, Unanswered, Hung, TooSlow };

public:
    static double now() {
        LARGE_INTEGER counter, frequency;
        QueryPerformanceCounter(&counter);
        QueryPerformanceFrequency(&frequency);
        return counter.QuadPart * 1000.0 / frequency.QuadPart;
    }

private:
    // An answer that took `ms`: counted among the slowest and kept for the pace. Answers
    // in a row too slow for the plug-in's question after a silence end the asking.
    void answered(UINT message, double ms) {
        ++answers_;
        times_.push_back(ms);
        slowest_.emplace_back(tools::messageName(message), ms);
        std::sort(slowest_.begin(), slowest_.end(),
                  [](const auto& a, const auto& b) { return a.second > b.second; });
        if (slowest_.size() > 3)
            slowest_.pop_back();
        slowInARow_ = ms > PLAYER_REMOTE_TRIAL_MS ? slowInARow_ + 1 : 0;
        if (slowInARow_ < kTooSlowInARow)
            return;
        problem(L"answers too slowly for the plug-in: " + std::to_wstring(kTooSlowInARow) +
                L" answers in a row took more than " + std::to_wstring(PLAYER_REMOTE_TRIAL_MS) +
                L" ms, so hosts see the player not responding after their first refresh; the slowest: " +
                slowestText());
        stopped_ = Stopped::TooSlow;
    }

    void noteTurnHeld() {
        if (turnHeld_++ == 0)
            say(L"  NOTE     another program held the title's turn for more than 1 s: its texts were not "
                L"asked\n");
    }

private:
    // Within the title's turn every send blocks the probe's own messages (PlayerRemote.h).
    void textInTurn(UINT message, WPARAM wParam, bool quiet) {
        // SetWindowTextW would wait on the player without a bound.
        DWORD_PTR ignored = 0;
        if (SendMessageTimeoutW(window_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(kSentinel),
                                SMTO_ABORTIFHUNG | SMTO_BLOCK, kBound, &ignored) == 0) {
            problem(L"WM_SETTEXT was not answered within 1 s");
            stopped_ = Stopped::Unanswered;
            return;
        }
        if (title() != kSentinel)
            noteOtherProgram();
        const auto answer = ask(message, wParam, SMTO_BLOCK);
        if (!answer)
            return;
        const std::wstring reply = title(); // the title as set, without a message
        if (title() != reply)
            noteOtherProgram();
        const bool unchanged = reply == kSentinel;
        if (message == RM_PLAYLIST_ITEMTEXT && unchanged)
            // The plug-in reads the title whatever the answer: a title left as it was reads as
            // this entry's text, the previous entry's for an entry without one.
            problem(L"RM_PLAYLIST_ITEMTEXT for entry " + std::to_wstring(wParam + 1) + L" (index " +
                    std::to_wstring(wParam) +
                    L") left the title as it was; expected the entry's text, or an empty title for an entry "
                    L"without one");
        else if (*answer != 0 && unchanged)
            problem(std::wstring(tools::messageName(message)) + L" answered " + std::to_wstring(*answer) +
                    L" but left the title as it was; expected its text in the title");
        if (quiet)
            return;
        say(L"  " + pad(tools::messageName(message)) +
            (*answer ? L"\"" + tools::visible(reply) + L"\"" : L"(no text)") + L"\n");
        texts.add(tools::messageName(message),
                  *answer ? std::optional<std::wstring>(reply) : std::optional<std::wstring>());
    }

    std::wstring title() const {
        wchar_t text[512] = L"";
        InternalGetWindowText(window_, text, 512);
        return text;
    }

    HWND window_;
    bool json_;
    PlayerRemoteTurn turn_{};
    int problems_ = 0;
    int others_ = 0;
    int turnHeld_ = 0;
    int answers_ = 0;
    int slowInARow_ = 0;
    std::vector<double> times_; // every answer's time, in the order they came
    std::vector<std::pair<std::wstring, double>> slowest_;
    Stopped stopped_ = Stopped::No;
    std::vector<std::wstring> unchecked_;
};

} // namespace

int probe(bool json) {
    const HWND window = FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr);
    if (window == nullptr) {
        if (json)
            printDocument(JsonObject()
                              .add(L"running", false)
                              .add(L"result", L"player not running")
                              .add(L"error", L"player not running")
                              .add(L"exitCode", 3)
                              .text());
        else
            print(L"No player window of class VRX_MEDIA_REMOTE is running.\n");
        return kProbeNotRunning;
    }
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    ProbeRun run(window, json);
    run.say(L"Player window of class VRX_MEDIA_REMOTE, process " + std::to_wstring(process) + L"\n");

    run.part(kParts[0]);
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

    int indicators[5] = {};
    if (run.part(kParts[1])) {
        run.say(L"States:\n");
        for (UINT message = RM_STATE_PLAYPAUSE; message <= RM_STATE_RATING5; ++message)
            if (const auto answer = run.ask(message)) {
                run.say(L"  " + ProbeRun::pad(tools::messageName(message)) + std::to_wstring(*answer) +
                        L"\n");
                run.states.add(tools::messageName(message), *answer);
                if (message >= RM_STATE_RATING1)
                    indicators[message - RM_STATE_RATING1] = *answer;
            }
    }
    if (run.part(kParts[2])) {
        run.say(L"Texts (each must arrive in the window title):\n");
        for (UINT message : {RM_TEXT_TITLE, RM_TEXT_ALBUM, RM_TEXT_ARTIST, RM_TEXT_TRACKNAME, RM_TEXT_GENRE,
                             RM_TEXT_YEAR, RM_TEXT_TRACKNUM, RM_TEXT_TIPCAPTION, RM_TEXT_TRACKLEN})
            run.text(message);
    }
    std::optional<int> maxVolume, volume, length, position;
    if (run.part(kParts[3])) {
        run.say(L"Numbers:\n");
        maxVolume = run.ask(RM_GET_MAXVOLUME);
        volume = run.ask(RM_GET_VOLUME);
        length = run.ask(RM_GET_TRACKLENGTH);
        position = run.ask(RM_GET_POSITION);
        if (volume && maxVolume && position && length)
            run.say(L"  volume " + std::to_wstring(*volume) + L" of " + std::to_wstring(*maxVolume) +
                    L", position " + std::to_wstring(*position) + L" s of " + std::to_wstring(*length) +
                    L" s\n");
    }
    if (run.part(kParts[4]) && volume && maxVolume && position && length) {
        run.say(L"Consistency:\n");
        const std::wstring v = std::to_wstring(*volume), max = std::to_wstring(*maxVolume);
        const std::wstring p = std::to_wstring(*position), l = std::to_wstring(*length);
        run.check(*maxVolume > 0, L"the maximum volume " + max + L" is positive",
                  L"the maximum volume is " + max + L", expected a positive number");
        run.check(*volume >= 0 && *volume <= *maxVolume, L"the volume " + v + L" lies within 0 and " + max,
                  L"the volume is " + v + L", expected 0 to " + max);
        run.check(*length >= 0, L"the track length " + l + L" s is not negative",
                  L"the track length is " + l + L" s, expected 0 or more");
        run.check(*position >= 0 && (*length == 0 || *position <= *length),
                  L"the position " + p + L" s lies within the track",
                  L"the position is " + p + L" s, expected 0 to " + l + L" s");
        for (UINT unused : {RM_TEXT_RESERVED1, RM_TEXT_RESERVED2})
            if (const std::optional<int> answer = run.ask(unused))
                run.check(*answer == 0, L"the unused number " + std::to_wstring(unused) + L" answers 0",
                          L"the unused number " + std::to_wstring(unused) + L" answers " +
                              std::to_wstring(*answer) + L", expected 0");
    }
    // A seek while not playing moves and stays paused (PlayerRemote.h); the probe seeks
    // back where it was. Posted, so it is asked after until it moved, a second at most.
    const bool seeks = run.ask(RM_IS_SUPPORTED, RM_SEEK).value_or(0) != 0;
    if (seeks && run.part(kParts[5]) && position && length && *length > 1) {
        const std::optional<int> playing = run.ask(RM_STATE_PLAYPAUSE);
        if (playing && *playing != 0) {
            run.say(
                L"  NOTE     RM_SEEK not checked: the player is playing (pause it to check a seek while not "
                L"playing)\n");
        } else if (playing) {
            const int target = *position + 1 < *length ? *position + 1 : *position - 1;
            PostMessageW(window, RM_SEEK, static_cast<WPARAM>(target), 0);
            std::optional<int> now;
            for (const double start = ProbeRun::now(); run.asking() && ProbeRun::now() - start < 1000;
                 Sleep(10))
                if ((now = run.ask(RM_GET_POSITION)) && *now == target)
                    break;
            const std::optional<int> after = run.ask(RM_STATE_PLAYPAUSE);
            PostMessageW(window, RM_SEEK, static_cast<WPARAM>(*position), 0);
            const std::wstring t = std::to_wstring(target);
            if (now)
                run.check(*now == target, L"RM_SEEK to second " + t + L" while not playing moved there",
                          L"RM_SEEK to second " + t + L" while not playing left the position at " +
                              std::to_wstring(*now) + L" s");
            if (after)
                run.check(*after == 0, L"RM_SEEK while not playing left the player not playing",
                          L"RM_SEEK while not playing started the player; expected it to stay paused at that "
                          L"second");
        }
    }
    if (ratings && run.part(kParts[6])) {
        if (const std::optional<int> rating = run.ask(RM_GET_RATING)) {
            const std::wstring r = std::to_wstring(*rating);
            const bool inRange = *rating >= 0 && *rating <= 5;
            run.check(inRange, L"the rating " + r + L" lies within 0 to 5",
                      L"rating " + r + L", expected 0 to 5");
            // Star n is lit while the rating is n or more: the five indicators follow the rating.
            std::wstring mismatches;
            for (int n = 1; n <= 5 && inRange; ++n) {
                const bool lit = indicators[n - 1] != 0;
                if (lit != (n <= *rating))
                    mismatches += (mismatches.empty() ? L"" : L"; ") +
                                  std::wstring(tools::messageName(RM_STATE_RATING1 + n - 1)) + L" is " +
                                  std::to_wstring(indicators[n - 1]) + L", expected " +
                                  (n <= *rating ? L"nonzero" : L"0");
            }
            if (inRange)
                run.check(mismatches.empty(),
                          L"the five star indicators follow the rating " + r +
                              L" (star n lit while the rating is n "
                              L"or more)",
                          L"with the rating " + r + L": " + mismatches +
                              L" (star n is lit while the rating is n "
                              L"or more)");
        }
    }
    if (playlist && run.part(kParts[7])) {
        const std::optional<int> count = run.ask(RM_PLAYLIST_COUNT);
        const std::optional<int> current = run.ask(RM_PLAYLIST_CURRENT);
        if (count && current) {
            run.check(*count >= 0, L"the playlist count " + std::to_wstring(*count) + L" is not negative",
                      L"the playlist count is " + std::to_wstring(*count) + L", expected 0 or more");
            // Entries as status and playlist count them, from 1.
            run.check(*count == 0 || (*current >= 0 && *current < *count),
                      L"the current entry " + std::to_wstring(*current + 1LL) + L" lies within the playlist",
                      L"the current entry is " + std::to_wstring(*current + 1LL) + L" (index " +
                          std::to_wstring(*current) + L"), expected 1 to " + std::to_wstring(*count));
            const int before = run.problems();
            const int asked = std::min(*count, 1000);
            for (int i = 0; i < asked && run.asking(); ++i)
                run.text(RM_PLAYLIST_ITEMTEXT, static_cast<WPARAM>(i), true);
            if (run.asking() && run.problems() == before)
                run.check(true,
                          std::to_wstring(asked) + L" playlist texts arrived in the title, each request "
                                                   L"setting it",
                          L"");
        }
    }
    // The pace: more answers at full speed, judged as hosts of 13 and 16 messages a second meet them.
    std::vector<std::wstring> paceWords;
    if (run.answers() > 0 && run.asking()) {
        const double paceStart = ProbeRun::now();
        for (int i = 0; i < kPaceAnswers && run.asking() && ProbeRun::now() - paceStart < kPaceMilliseconds;
             ++i)
            run.ask(RM_GET_POSITION);
        run.say(L"Pace (" + std::to_wstring(run.answers()) + L" answers, as the plug-in waits for them):\n");
        const PaceVerdict model = judgePace(run.times(), 13);
        const PaceVerdict busy = judgePace(run.times(), 16);
        if (model.pace != Pace::Full)
            run.problem(model.words);
        else
            run.check(true, model.words, L"");
        if (busy.pace != Pace::Full)
            run.say(L"  NOTE     " + busy.words + L"\n");
        else
            run.check(true, busy.words, L"");
        paceWords = {jsonString(model.words), jsonString(busy.words)};
    } else if (run.tooSlow()) {
        paceWords = {jsonString(judgePace(run.times(), 13).words),
                     jsonString(judgePace(run.times(), 16).words)};
    }
    std::wstring unchecked;
    for (const std::wstring& part : run.unchecked())
        unchecked += (unchecked.empty() ? L"" : L", ") + part;
    if (!unchecked.empty())
        run.say(std::wstring(run.tooSlow() ? L"Not checked, as the player answers too slowly: "
                                           : L"Not checked, as the player stopped answering: ") +
                unchecked + L"\n");
    const std::wstring result = !run.responding()     ? std::wstring(L"player not responding")
                                : run.problems() == 1 ? std::wstring(L"1 problem")
                                                      : std::to_wstring(run.problems()) + L" problems";
    if (json) {
        JsonObject report;
        report.add(L"running", true).add(L"process", static_cast<std::int64_t>(process));
        report.addJson(L"supported", jsonArray(supported)).addJson(L"unsupported", jsonArray(unsupported));
        report.addJson(L"states", run.states.text()).addJson(L"texts", run.texts.text());
        const auto number = [](const std::optional<int>& value) {
            return value ? std::to_wstring(*value) : std::wstring(L"null");
        };
        report.addJson(L"volume", number(volume))
            .addJson(L"maxVolume", number(maxVolume))
            .addJson(L"position", number(position))
            .addJson(L"length", number(length));
        report.addJson(L"checks", jsonArray(run.checks)).add(L"problems", run.problems());
        std::vector<std::wstring> notChecked;
        for (const std::wstring& part : run.unchecked())
            notChecked.push_back(jsonString(part));
        report.addJson(L"notChecked", jsonArray(notChecked)).add(L"otherPrograms", run.others() > 0);
        std::vector<std::wstring> slowest;
        for (const auto& [name, ms] : run.slowest())
            slowest.push_back(JsonObject().add(L"message", name).add(L"ms", ms).text());
        report.add(L"responding", run.responding()).add(L"tooSlow", run.tooSlow());
        report.addJson(L"pace", jsonArray(paceWords));
        report.addJson(L"slowestMs",
                       run.slowest().empty() ? L"null" : std::to_wstring(run.slowest()[0].second));
        report.addJson(L"slowest", jsonArray(slowest)).add(L"result", result);
        if (!run.responding())
            report.add(L"error", L"player not responding").add(L"exitCode", 4);
        else if (run.problems() > 0)
            report.add(L"error", result).add(L"exitCode", 1);
        printDocument(report.text());
    } else {
        if (!run.slowest().empty())
            print(L"Slowest answers: " + run.slowestText() + L" (of " + std::to_wstring(run.answers()) +
                  L" answered)\n");
        print(L"Result: " + result + L"\n");
    }
    return run.responding() ? run.problems() : kProbeNotResponding;
}

} // namespace player_host
