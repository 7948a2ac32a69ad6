#include "player/link/TitleChannel.h"

#include "player/link/Reply.h"

#include "PlayerRemote.h"

namespace player::link {
namespace {

// How often a wait for another program's turn looks whether that program still runs.
constexpr ULONGLONG kHolderCheckMilliseconds = 50;

SRWLOCK channelLock = SRWLOCK_INIT;
PlayerRemoteTurn channel{}; // opened once, at the first text request, under channelLock
bool channelTried = false;

PlayerRemoteTurn* openChannel() noexcept {
    AcquireSRWLockExclusive(&channelLock);
    if (!channelTried)
        channelTried = PlayerRemoteOpenTurn(&channel) != FALSE;
    ReleaseSRWLockExclusive(&channelLock);
    return &channel;
}

} // namespace

TitleTurn::TitleTurn(ULONGLONG deadline) noexcept : turn_(openChannel()) {
    BOOL again = FALSE;
    LONG64 holder = PlayerRemoteTryTakeTurn(turn_, &again);
    ULONGLONG nextCheck = GetTickCount64() + kHolderCheckMilliseconds;
    while (holder != 0) {
        // Another program is between a request and its reply: a few milliseconds, usually.
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            return;
        if (now >= nextCheck) {
            nextCheck = now + kHolderCheckMilliseconds;
            if (PlayerRemoteTakeOverTurn(turn_, holder))
                break;
        }
        if (MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) != WAIT_TIMEOUT)
            takeSentMessages();
        holder = PlayerRemoteTryTakeTurn(turn_, &again);
    }
    granted_ = true;
    giveBack_ = !again;
}

TitleTurn::~TitleTurn() {
    if (granted_ && giveBack_)
        PlayerRemoteGiveTurn(turn_);
}

void closeTitleChannel() noexcept {
    AcquireSRWLockExclusive(&channelLock);
    PlayerRemoteCloseTurn(&channel);
    channelTried = false;
    ReleaseSRWLockExclusive(&channelLock);
}

} // namespace player::link
