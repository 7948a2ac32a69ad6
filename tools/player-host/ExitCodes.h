// player-host's exit codes, for scripts; README.md lists them.
#pragma once

#include <string>

namespace player_host {

enum ExitCode : int {
    kDone = 0,
    kError = 1,
    kUsage = 2,
    kNotRunning = 3,
    kNotResponding = 4, // a value the player was asked for did not arrive
    kIncomplete = 5,    // the answer came in part: a playlist whose texts the call's second cut off
};

// How a command ended: its exit code, and what went wrong in words (empty when done).
struct Outcome {
    int code = kDone;
    std::wstring error;
};

} // namespace player_host
