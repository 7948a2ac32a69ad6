#include "player/link/TitleChannel.h"

#include "player/link/Reply.h"
#include "player/link/ThreadNotes.h"

#include "PlayerRemote.h"

#include <atomic>

namespace player::link {
namespace {

// How often a wait for another program's turn looks whether that program still runs.
constexpr ULONGLONG kHolderCheckMilliseconds = 50;

// Opened at the first text request, under channelLock, and not written again until the
// library unloads: threads that saw it open read it without the lock.
SRWLOCK channelLock = SRWLOCK_INIT;
PlayerRemoteTurn channel{};
std::atomic<bool> channelOpen{false};
PlayerRemoteTurn noChannel{}; // every turn free: what a failed open gives, until it is tried again

PlayerRemoteTurn* openChannel() noexcept {
    if (channelOpen.load(std::memory_order_acquire))
        return &channel;
    AcquireSRWLockExclusive(&channelLock);
    if (!channelOpen.load(std::memory_order_relaxed) && PlayerRemoteOpenTurn(&channel))
        channelOpen.store(true, std::memory_order_release);
    ReleaseSRWLockExclusive(&channelLock);
    return channelOpen.load(std::memory_order_acquire) ? &channel : &noChannel;
}

} // namespace

TitleTurn::TitleTurn(ULONGLONG deadline) noexcept : turn_(openChannel()) {
    if (threadNotes::insideTextRequest()) {
        refused_ = true;
        return;
    }
    // A turn that holds this thread's own value already is one left behind: this thread
    // is not inside a request, so a thread of the same id that ended left it. It is ours.
    BOOL again = FALSE;
    LONG64 holder = PlayerRemoteTryTakeTurn(turn_, &again);
    ULONGLONG nextCheck = GetTickCount64() + kHolderCheckMilliseconds;
    while (holder != 0) {
        // Another program is between a request and its reply: a send's time at most, if
        // it keeps the rules of PlayerRemote.h.
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        if (now >= nextCheck) {
            nextCheck = now + kHolderCheckMilliseconds;
            if (PlayerRemoteTakeOverTurn(turn_, holder))
                break;
        }
        if (MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT) {
            const ULONGLONG before = GetTickCount64();
            takeSentMessages();
            hostMilliseconds_ += GetTickCount64() - before;
        }
        holder = PlayerRemoteTryTakeTurn(turn_, &again);
    }
    granted_ = true;
    threadNotes::noteInsideTextRequest(true);
}

TitleTurn::~TitleTurn() {
    if (!granted_)
        return;
    threadNotes::noteInsideTextRequest(false);
    PlayerRemoteGiveTurn(turn_);
}

void closeTitleChannel() noexcept {
    AcquireSRWLockExclusive(&channelLock);
    PlayerRemoteCloseTurn(&channel);
    channelOpen.store(false, std::memory_order_release);
    ReleaseSRWLockExclusive(&channelLock);
}

} // namespace player::link
