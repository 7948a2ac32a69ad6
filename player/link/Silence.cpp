#include "player/link/Silence.h"

#include "player/link/Reply.h"

#include <iterator>

namespace player::link::silence {
namespace {

struct Entry {
    HWND window;       // null: a free entry
    ULONG_PTR pending; // the library's marker in the window's queue; 0: none
    DWORD sender;      // the thread that sent it, the only one its callback comes to
    ULONGLONG since;   // GetTickCount64 when it was sent
};

// A few players at most exist at once; the entry of a window that has gone is reused.
constexpr std::size_t kEntries = 8;
// A marker whose sending thread has ended never brings its callback here; after this
// long the player has had time to handle it, and may be asked again.
constexpr ULONGLONG kOrphanMilliseconds = 2000;

SRWLOCK lock = SRWLOCK_INIT;
Entry entries[kEntries] = {};
LONG referencesHeld = 0; // the library's own references, one per message left queued
LONG answersArrived = 0; // late answers whose references may be given back
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

// The entry for a new silent window: a free one, else one of a window that has gone,
// else the one silent the longest.
Entry& place(HWND window) noexcept {
    if (Entry* known = find(window))
        return *known;
    if (Entry* free = find(nullptr))
        return *free;
    Entry* oldest = std::begin(entries);
    for (Entry& entry : entries) {
        if (!IsWindow(entry.window))
            return entry;
        if (entry.since < oldest->since)
            oldest = &entry;
    }
    return *oldest;
}

bool threadRuns(DWORD threadId) noexcept {
    const HANDLE thread = OpenThread(SYNCHRONIZE, FALSE, threadId);
    if (thread == nullptr)
        return false;
    const bool runs = WaitForSingleObject(thread, 0) == WAIT_TIMEOUT;
    CloseHandle(thread);
    return runs;
}

void CALLBACK anchor() {} // an address inside this library, to name it by

} // namespace

Standing standingOf(HWND window) noexcept {
    DWORD sender = 0;
    ULONGLONG since = 0;
    {
        const Locked locked;
        const Entry* entry = find(window);
        if (entry == nullptr)
            return Standing::Answering;
        sender = entry->sender;
        since = entry->since;
        if (entry->pending == 0)
            return Standing::Trial;
    }
    if (sender == GetCurrentThreadId())
        takeSentMessages(); // its callback, if it came, is delivered now
    const bool orphaned = sender != GetCurrentThreadId() && GetTickCount64() - since >= kOrphanMilliseconds &&
                          !threadRuns(sender);
    const Locked locked;
    Entry* entry = find(window);
    if (entry == nullptr)
        return Standing::Answering;
    if (entry->pending != 0 && orphaned && entry->sender == sender)
        entry->pending = 0;
    return entry->pending == 0 ? Standing::Trial : Standing::Silent;
}

void markSilent(HWND window, ULONG_PTR pendingId) noexcept {
    const Locked locked;
    Entry& entry = place(window);
    entry = {window, pendingId, GetCurrentThreadId(), GetTickCount64()};
}

void markAnswering(HWND window) noexcept {
    const Locked locked;
    if (Entry* entry = find(window))
        *entry = {};
}

void willArriveLate(ULONG_PTR) noexcept {
    HMODULE module = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&anchor),
                            &module))
        return;
    const Locked locked;
    self = module;
    ++referencesHeld;
}

void replyArrived(ULONG_PTR id) noexcept {
    const Locked locked;
    for (Entry& entry : entries)
        if (entry.pending == id)
            entry.pending = 0;
    ++answersArrived;
}

void releaseArrived() noexcept {
    LONG release = 0;
    {
        const Locked locked;
        release = answersArrived < referencesHeld ? answersArrived : referencesHeld;
        answersArrived -= release;
        referencesHeld -= release;
    }
    // The host holds its own reference while it calls: these never unload the library.
    for (; release > 0; --release)
        FreeLibrary(self);
}

} // namespace player::link::silence
