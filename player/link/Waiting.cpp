#include "player/link/Waiting.h"

#include <iterator>

namespace player::link::waiting {
namespace {

struct Entry {
    HWND window;         // null: a free entry
    ULONGLONG lastWait;  // when the last counted wait ended; later while a trial is out
    ULONGLONG held;      // what the counted waits of the stretch add up to
    unsigned unanswered; // waits in a row that ended without an answer: silent while above 0
};

// Two windows can matter at once (a player still closing while the next one starts);
// more are not met, and an entry with nothing to remember is taken for another window.
constexpr std::size_t kEntries = 8;
constexpr unsigned kMostUnanswered = 16; // enough to reach the longest quiet

SRWLOCK lock = SRWLOCK_INIT;
Entry entries[kEntries] = {};

class Locked {
public:
    Locked() noexcept { AcquireSRWLockExclusive(&lock); }
    ~Locked() { ReleaseSRWLockExclusive(&lock); }
    Locked(const Locked&) = delete;
    Locked& operator=(const Locked&) = delete;
};

Entry* find(HWND window) noexcept {
    for (Entry& entry : entries)
        if (entry.window == window)
            return &entry;
    return nullptr;
}

bool stretchOver(const Entry& entry, ULONGLONG now) noexcept {
    return now >= entry.lastWait + kStretchGapMilliseconds;
}

// The entry for a window not kept yet: a free one, one with nothing to remember or of a
// window that has gone, else the one whose last wait is oldest.
Entry& place(HWND window, ULONGLONG now) noexcept {
    if (Entry* known = find(window))
        return *known;
    Entry* oldest = std::begin(entries);
    for (Entry& entry : entries) {
        if (entry.window == nullptr || (entry.unanswered == 0 && stretchOver(entry, now)) ||
            !IsWindow(entry.window))
            return entry;
        if (entry.lastWait < oldest->lastWait)
            oldest = &entry;
    }
    return *oldest;
}

ULONGLONG quietAfter(unsigned unanswered) noexcept {
    ULONGLONG quiet = kStretchGapMilliseconds;
    for (unsigned n = 1; n < unanswered && quiet < kQuietMostMilliseconds; ++n)
        quiet *= 2;
    return quiet < kQuietMostMilliseconds ? quiet : kQuietMostMilliseconds;
}

} // namespace

Standing standingOf(HWND window, ULONGLONG now) noexcept {
    const Locked locked;
    const Entry* entry = find(window);
    if (entry == nullptr)
        return {false, false, false};
    if (entry->unanswered == 0)
        return {false, false, !stretchOver(*entry, now) && entry->held >= kStretchMilliseconds};
    return {true, now >= entry->lastWait + quietAfter(entry->unanswered), false};
}

Allowance allowance(HWND window, ULONGLONG now) noexcept {
    const Locked locked;
    Entry* entry = find(window);
    if (entry == nullptr)
        return {kStretchMilliseconds, false};
    if (stretchOver(*entry, now))
        entry->held = 0;
    const ULONGLONG room = entry->held < kStretchMilliseconds ? kStretchMilliseconds - entry->held : 0;
    if (entry->unanswered == 0)
        return {room, false};
    if (now < entry->lastWait + quietAfter(entry->unanswered))
        return {0, false};
    entry->lastWait = now + kTrialMilliseconds; // until its outcome, no other call asks
    return {room < kTrialMilliseconds ? room : kTrialMilliseconds, true};
}

void settle(HWND window, ULONGLONG now, ULONGLONG waited, Outcome outcome, bool trial) noexcept {
    const bool counted = outcome != Outcome::Answered || waited > kFreeMilliseconds;
    if (!counted && !trial)
        return; // a prompt answer: nothing to keep, and no lock taken
    const Locked locked;
    Entry* entry = find(window);
    if (entry == nullptr) {
        if (!counted)
            return;
        entry = &place(window, now);
        *entry = {window, 0, 0, 0};
    }
    if (counted) {
        const ULONGLONG began = now > waited ? now - waited : 0;
        if (stretchOver(*entry, began))
            entry->held = 0;
        entry->held += waited; // each at most a call's second: no overflow
    }
    entry->lastWait = now;
    if (outcome == Outcome::Answered)
        entry->unanswered = 0;
    else if (outcome == Outcome::Unanswered && entry->unanswered < kMostUnanswered)
        ++entry->unanswered;
}

} // namespace player::link::waiting
