#include "player/link/TitleTurn.h"

#include <atomic>

namespace player::link {
namespace {

// How often a wait for another program's turn looks whether that program still runs.
constexpr ULONGLONG kHolderCheckMilliseconds = 50;

// Opened at the first text request, under openLock, and not changed again until the
// library unloads: threads that saw it read it without the lock.
SRWLOCK openLock = SRWLOCK_INIT;
PlayerRemoteTurn shared{};
std::atomic<PlayerRemoteTurn*> opened{nullptr};
alignas(8) LONG64 processWord = 0; // the turn of this process alone, when the shared one cannot be had
PlayerRemoteTurn processTurn{nullptr, &processWord};
// The thread of this process that holds the turn; 0: none. One thread at a time writes it.
std::atomic<DWORD> holder{0};

PlayerRemoteTurn* theTurn() noexcept {
    PlayerRemoteTurn* turn = opened.load(std::memory_order_acquire);
    if (turn != nullptr)
        return turn;
    AcquireSRWLockExclusive(&openLock);
    turn = opened.load(std::memory_order_relaxed);
    if (turn == nullptr) {
        turn = PlayerRemoteOpenTurn(&shared) ? &shared : &processTurn;
        opened.store(turn, std::memory_order_release);
    }
    ReleaseSRWLockExclusive(&openLock);
    return turn;
}

} // namespace

bool TitleTurn::heldByThisThread() noexcept {
    return holder.load(std::memory_order_acquire) == GetCurrentThreadId();
}

TitleTurn::TitleTurn(ULONGLONG deadline) noexcept : turn_(theTurn()) {
    // A word holding this thread's value while this thread holds no turn was left by a
    // thread of the same id that ended: PlayerRemoteTryTakeTurn takes it as ours.
    BOOL again = FALSE;
    LONG64 other = PlayerRemoteTryTakeTurn(turn_, &again);
    ULONGLONG nextCheck = GetTickCount64() + kHolderCheckMilliseconds;
    while (other != 0) {
        // Another program is between a request and its reply: a send's time at most, if
        // it keeps the rules of PlayerRemote.h.
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        if (now >= nextCheck) {
            nextCheck = now + kHolderCheckMilliseconds;
            if (PlayerRemoteTakeOverTurn(turn_, other))
                break;
        }
        if (MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT) {
            const ULONGLONG before = GetTickCount64();
            MSG message; // runs the host's window procedures for messages sent to it
            PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
            hostMilliseconds_ += GetTickCount64() - before;
        }
        other = PlayerRemoteTryTakeTurn(turn_, &again);
    }
    granted_ = true;
    holder.store(GetCurrentThreadId(), std::memory_order_release);
}

TitleTurn::~TitleTurn() {
    if (!granted_)
        return;
    holder.store(0, std::memory_order_release);
    PlayerRemoteGiveTurn(turn_);
}

void closeTitleTurn() noexcept {
    AcquireSRWLockExclusive(&openLock);
    if (opened.load(std::memory_order_relaxed) == &shared)
        PlayerRemoteCloseTurn(&shared);
    opened.store(nullptr, std::memory_order_release);
    ReleaseSRWLockExclusive(&openLock);
}

} // namespace player::link
