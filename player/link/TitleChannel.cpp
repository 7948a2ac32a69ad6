#include "player/link/TitleChannel.h"

#include "player/link/Reply.h"

#include "PlayerRemote.h"

namespace player::link {
namespace {

HANDLE channel = nullptr; // set once, by whichever thread opens it first

HANDLE openChannel() noexcept {
    if (HANDLE known = static_cast<HANDLE>(InterlockedCompareExchangePointer(&channel, nullptr, nullptr)))
        return known;
    const HANDLE opened = CreateMutexW(nullptr, FALSE, PLAYER_REMOTE_REPLY_MUTEX);
    if (opened == nullptr)
        return nullptr;
    if (HANDLE earlier = static_cast<HANDLE>(InterlockedCompareExchangePointer(&channel, opened, nullptr))) {
        CloseHandle(opened); // another thread opened it meanwhile
        return earlier;
    }
    return opened;
}

} // namespace

TitleTurn::TitleTurn(ULONGLONG deadline) noexcept {
    const HANDLE mutex = openChannel();
    if (mutex == nullptr) {
        granted_ = true;
        return;
    }
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        DWORD woken = MsgWaitForMultipleObjectsEx(1, &mutex, left, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
        if (woken == WAIT_OBJECT_0 + 1) {
            takeSentMessages();
            if (left > 0)
                continue;
            woken = WaitForSingleObject(mutex, 0);
        }
        if (woken == WAIT_OBJECT_0 || woken == WAIT_ABANDONED_0) { // a holder that died leaves it to us
            held_ = mutex;
            granted_ = true;
        }
        return;
    }
}

TitleTurn::~TitleTurn() {
    if (held_ != nullptr)
        ReleaseMutex(held_);
}

void closeTitleChannel() noexcept {
    if (HANDLE mutex = static_cast<HANDLE>(InterlockedExchangePointer(&channel, nullptr)))
        CloseHandle(mutex);
}

} // namespace player::link
