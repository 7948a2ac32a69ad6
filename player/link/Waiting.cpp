#include "player/link/Waiting.h"

#include <climits>
#include <iterator>

namespace player::link::waiting {
namespace {

struct Entry {
    HWND window;         // null: a free entry
    ULONGLONG lastWait;  // when the last counted wait ended; later while a trial is out
    ULONGLONG held;      // what the counted waits of the stretch add up to
    ULONGLONG longest;   // the longest of them
    unsigned waits;      // how many of them were answered
    unsigned lastWaits;  // how many the stretch before had answered; kFirstStretch before one
    unsigned unanswered; // waits in a row that ended without an answer: silent while above 0
};

// Two windows can matter at once (a player still closing while the next one starts);
// more are not met, and an entry with nothing to remember is taken for another window.
constexpr std::size_t kEntries = 8;
constexpr unsigned kMostUnanswered = 16; // enough to reach the longest quiet
constexpr unsigned kFirstStretch = UINT_MAX;

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

void startStretchIfOver(Entry& entry, ULONGLONG now) noexcept {
    if (!stretchOver(entry, now) || (entry.held == 0 && entry.waits == 0))
        return; // still going, or already started
    entry.lastWaits = entry.waits;
    entry.held = entry.longest = 0;
    entry.waits = 0;
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
    startStretchIfOver(*entry, now);
    const ULONGLONG room = entry->held < kStretchMilliseconds ? kStretchMilliseconds - entry->held : 0;
    if (entry->unanswered == 0) {
        // Beyond as many waits as the last stretch had, a wait needs room for two: at a
        // steady pace the same waits then fit at every stretch, not one more now and then.
        const ULONGLONG need = entry->longest * (entry->waits >= entry->lastWaits ? 2 : 1);
        if (room > 0 && room >= need)
            return {room, false};
        entry->held = kStretchMilliseconds; // spent: nothing is asked until the stretch is over
        return {0, false};
    }
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
        *entry = {window, 0, 0, 0, 0, kFirstStretch, 0};
    }
    if (counted) {
        startStretchIfOver(*entry, now > waited ? now - waited : 0);
        entry->held += waited; // each at most a call's second: no overflow
        if (waited > entry->longest)
            entry->longest = waited;
        if (outcome == Outcome::Answered)
            ++entry->waits;
    }
    entry->lastWait = now;
    if (outcome == Outcome::Answered)
        entry->unanswered = 0;
    else if (outcome == Outcome::Unanswered && entry->unanswered < kMostUnanswered)
        ++entry->unanswered;
}

} // namespace player::link::waiting
