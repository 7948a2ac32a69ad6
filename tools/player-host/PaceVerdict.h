// PaceVerdict: what a host refreshing once a second gets from a player whose answers
// took the times the probe measured, judged by the plug-in's own rule (PlayerRemote.h):
// answers within PLAYER_REMOTE_FREE_MS cost nothing, the slower ones of a refresh may
// add up to PLAYER_REMOTE_STRETCH_MS, a wait is begun only while what is left holds the
// refresh's longest wait (twice that beyond the waits of the refresh before), a wait
// cut short makes the player silent, and the next refresh's first question waits at
// most PLAYER_REMOTE_TRIAL_MS. The answers are taken in the order they came, `messages`
// to a refresh.
#pragma once

#include <string>
#include <vector>

namespace player_host {

enum class Pace {
    Full,          // every refresh answered in full
    LosesSteadily, // every refresh loses its last answers, the same ones each second
    Pauses,        // answered in full but for the refreshes a pause falls in
    NotResponding, // after its first refresh, no answers at all
};

struct PaceVerdict {
    Pace pace = Pace::Full;
    int refreshes = 0, full = 0;
    int lost = 0;       // LosesSteadily: answers lost at a refresh (the most)
    double longest = 0; // the longest answer, in milliseconds
    std::wstring words; // "a host asking 13 messages a second: ..."
};

PaceVerdict judgePace(const std::vector<double>& answerMilliseconds, int messages);
// The words of Pace::NotResponding, for a player too slow to be judged by refreshes.
std::wstring notRespondingWords(int messages);

} // namespace player_host
