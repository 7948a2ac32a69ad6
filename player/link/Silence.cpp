#include "player/link/Silence.h"

#include "player/link/Reply.h"
#include "player/link/ThreadNotes.h"

#include <iterator>

namespace player::link::silence {
namespace {

struct Entry {
    HWND window;     // null: a free entry
    ULONGLONG owed;  // milliseconds of waiting not yet paid back, as of `at`; at most the allowance
    ULONGLONG at;    // GetTickCount64 up to which it has been paid back
    bool silent;     // the debt reached the allowance: nothing is asked until the trial
    bool trial;      // the next question waits at most kTrialMilliseconds
    ULONG_PTR queue; // the first marker behind a message left unanswered; 0: none waits
};

// Two windows can matter at once (a player still closing while the next one starts),
// more are not met; the entry of a window that has gone, or that owes nothing, is reused.
constexpr std::size_t kEntries = 8;

SRWLOCK lock = SRWLOCK_INIT;
Entry entries[kEntries] = {};
LONG referencesHeld = 0; // the library's own references, one per marker sent
LONG answersArrived = 0; // markers' callbacks whose references may be given back
HMODULE self = nullptr;  // this library, as its references name it

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

bool owesNothing(const Entry& entry) noexcept {
    return entry.owed == 0 && !entry.silent && !entry.trial && entry.queue == 0;
}

// The entry for a window not known yet: a free one, else one of a window that has gone
// or that owes nothing, else the one that owes least.
Entry& place(HWND window) noexcept {
    if (Entry* known = find(window))
        return *known;
    if (Entry* free = find(nullptr))
        return *free;
    Entry* least = std::begin(entries);
    for (Entry& entry : entries) {
        if (!IsWindow(entry.window) || owesNothing(entry))
            return entry;
        if (entry.owed < least->owed)
            least = &entry;
    }
    return *least;
}

void payBack(Entry& entry, ULONGLONG now) noexcept {
    if (now <= entry.at)
        return; // a clock that went back pays nothing
    const ULONGLONG repaid = (now - entry.at) / kRepaidEvery;
    entry.owed = entry.owed > repaid ? entry.owed - repaid : 0;
    entry.at += repaid * kRepaidEvery; // the rest of a period counts next time
}

DWORD room(const Entry& entry) noexcept {
    if (entry.silent || entry.queue != 0)
        return 0;
    const ULONGLONG left = kAllowanceMilliseconds - entry.owed;
    return static_cast<DWORD>(entry.trial && left > kTrialMilliseconds ? kTrialMilliseconds : left);
}

void CALLBACK anchor() {} // an address inside this library, to name it by

} // namespace

Standing standingOf(HWND window, ULONGLONG now) noexcept {
    ULONG_PTR queue = 0;
    {
        const Locked locked;
        const Entry* entry = find(window);
        if (entry == nullptr)
            return {static_cast<DWORD>(kAllowanceMilliseconds), false};
        queue = entry->queue;
    }
    if (queue != 0) {
        // Outside the lock: a callback taken here takes it too.
        if (threadNotes::markerSentFor() == queue)
            takeSentMessages();
        else if (sendMarker(window) != 0)
            threadNotes::noteMarkerSentFor(queue);
    }
    const Locked locked;
    Entry* entry = find(window);
    if (entry == nullptr)
        return {static_cast<DWORD>(kAllowanceMilliseconds), false};
    payBack(*entry, now);
    if (entry->silent && entry->queue == 0 && entry->owed + kTrialMilliseconds <= kAllowanceMilliseconds) {
        entry->silent = false;
        entry->trial = true;
    }
    const Standing standing{room(*entry), entry->trial};
    if (owesNothing(*entry))
        *entry = {};
    return standing;
}

DWORD settle(HWND window, ULONGLONG now, ULONGLONG waited, Outcome outcome, bool trial) noexcept {
    const bool answerable = outcome == Outcome::Answered || outcome == Outcome::BudgetSpent;
    const ULONGLONG charge = answerable && waited > kFreeMilliseconds ? waited - kFreeMilliseconds : 0;
    // Queued outside the lock: sending it may take a callback that arrived.
    const ULONG_PTR marker = outcome == Outcome::RoomSpentQueued ? sendMarker(window) : 0;
    const Locked locked;
    Entry* entry = find(window);
    if (entry == nullptr) {
        if (answerable && charge == 0)
            return static_cast<DWORD>(kAllowanceMilliseconds); // a prompt answer is not kept
        entry = &place(window);
        *entry = {window, 0, now, false, false, 0};
    }
    payBack(*entry, now);
    if (answerable) {
        const ULONGLONG owed = entry->owed + charge;
        entry->owed = owed < kAllowanceMilliseconds ? owed : kAllowanceMilliseconds;
        if (trial && outcome == Outcome::Answered)
            entry->trial = false;
    } else {
        entry->owed = kAllowanceMilliseconds;
    }
    if (entry->owed >= kAllowanceMilliseconds) {
        entry->silent = true;
        entry->trial = false;
    }
    if (marker != 0) {
        entry->queue = marker;
        threadNotes::noteMarkerSentFor(marker);
    }
    return room(*entry);
}

void willArriveLate() noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&anchor),
                            &module))
        return;
    const Locked locked;
    self = module;
    ++referencesHeld;
}

void replyArrived(HWND window, ULONG_PTR id) noexcept {
    const Locked locked;
    Entry* entry = find(window);
    // Any marker sent since the message was left unanswered went in behind it.
    if (entry != nullptr && entry->queue != 0 && id >= entry->queue)
        entry->queue = 0;
    ++answersArrived;
}

void releaseArrived() noexcept {
    LONG release = 0;
    HMODULE module = nullptr;
    {
        const Locked locked;
        release = answersArrived < referencesHeld ? answersArrived : referencesHeld;
        answersArrived -= release;
        referencesHeld -= release;
        module = self;
    }
    // The host holds its own reference while it calls: these never unload the library.
    for (; release > 0; --release)
        FreeLibrary(module);
}

} // namespace player::link::silence
