// The clocks player.dll reads, set by the test: while a LibraryClock lives, the
// library's imports of GetTickCount64 (the call's budget) and GetSystemTimeAsFileTime
// (the launch guard) point at it, so that edges of time are tested exactly.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace testing_support {

class LibraryClock {
public:
    LibraryClock();
    ~LibraryClock();
    LibraryClock(const LibraryClock&) = delete;
    LibraryClock& operator=(const LibraryClock&) = delete;

    // The milliseconds GetTickCount64 answers, one reading after another; the last one
    // stays once they are used up.
    void ticks(std::vector<ULONGLONG> readings);
    // The real clock again, plus `milliseconds` more than the real one has: time that
    // passed for the library alone.
    void ahead(ULONGLONG milliseconds);
    // The time of day, in seconds since 1970 UTC and ten-millionths of a second.
    void unixTime(std::int64_t seconds, std::int64_t tenMillionths = 0);
};

} // namespace testing_support
