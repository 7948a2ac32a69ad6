#include "PaceVerdict.h"

#include "PlayerRemote.h"

#include <algorithm>
#include <climits>
#include <cstdio>

namespace player_host {

std::wstring notRespondingWords(int messages) {
    wchar_t words[200];
    swprintf(words, 200,
             L"a host asking %d messages a second sees it not responding after its first refresh (answers "
             L"slower than %d ms are not waited for)",
             messages, PLAYER_REMOTE_TRIAL_MS);
    return words;
}

PaceVerdict judgePace(const std::vector<double>& times, int messages) {
    PaceVerdict verdict;
    int none = 0;
    std::vector<int> losses(static_cast<std::size_t>(messages) + 1, 0); // refreshes by answers lost
    bool silent = false;
    int lastWaits = INT_MAX; // counted waits of the refresh before, as the plug-in keeps them
    for (std::size_t first = 0; first + messages <= times.size(); first += messages) {
        double held = 0, longest = 0;
        int answered = 0, waits = 0;
        for (int i = 0; i < messages; ++i) {
            const double took = times[first + i];
            const double room = PLAYER_REMOTE_STRETCH_MS - held;
            if (!silent && room < longest * (waits >= lastWaits ? 2 : 1))
                break; // the rest of the refresh is not asked
            const double limit = silent ? PLAYER_REMOTE_TRIAL_MS : room;
            if (took > limit) {
                silent = true; // cut short: silent until the next refresh's question
                break;
            }
            silent = false;
            ++answered;
            if (took > PLAYER_REMOTE_FREE_MS) {
                held += took;
                longest = std::max(longest, took);
                ++waits;
            }
        }
        lastWaits = waits;
        ++verdict.refreshes;
        verdict.full += answered == messages ? 1 : 0;
        none += answered == 0 ? 1 : 0;
        ++losses[static_cast<std::size_t>(messages - answered)];
    }
    // The loss most refreshes had, so that one answer late by a hiccup does not count.
    for (std::size_t lost = 1, most = 0; lost < losses.size(); ++lost)
        if (static_cast<std::size_t>(losses[lost]) > most) {
            most = static_cast<std::size_t>(losses[lost]);
            verdict.lost = static_cast<int>(lost);
        }
    for (const double took : times)
        verdict.longest = std::max(verdict.longest, took);

    wchar_t words[300];
    const int refreshes = verdict.refreshes;
    if (refreshes > 1 && none * 2 >= refreshes) {
        verdict.pace = Pace::NotResponding;
        verdict.words = notRespondingWords(messages);
        return verdict;
    } else if (verdict.full == refreshes) {
        verdict.pace = Pace::Full;
        swprintf(words, 300, L"a host asking %d messages a second is answered in full", messages);
    } else if (verdict.full * 2 >= refreshes) {
        verdict.pace = Pace::Pauses;
        swprintf(words, 300,
                 L"a host asking %d messages a second is answered in full but for the refreshes its pauses "
                 L"fall in (%d of %d here; the longest answer took %.0f ms)",
                 messages, refreshes - verdict.full, refreshes, verdict.longest);
    } else {
        verdict.pace = Pace::LosesSteadily;
        swprintf(words, 300,
                 L"a host asking %d messages a second loses the last %d answers of every refresh, the same "
                 L"ones each second (those after %d ms of waiting)",
                 messages, verdict.lost, PLAYER_REMOTE_STRETCH_MS);
    }
    verdict.words = words;
    return verdict;
}

} // namespace player_host
