#include "player/link/Reply.h"

#include "player/link/Silence.h"

namespace player::link {
namespace {

// The sends of all threads that are waiting for their answer now. A callback finds its
// waiter here; an answer whose waiter has gone is a late one.
struct Waiter {
    ULONG_PTR id;
    bool arrived;
    LRESULT answer;
    Waiter* next;
};

SRWLOCK waitersLock = SRWLOCK_INIT;
Waiter* waiters = nullptr;
ULONG_PTR lastId = 0; // under waitersLock

// How often a wait looks whether the window still exists: a destroyed window answers
// nothing, and the system does not say so.
constexpr DWORD kWindowCheckMilliseconds = 50;

class Waiting {
public:
    Waiting() noexcept {
        AcquireSRWLockExclusive(&waitersLock);
        self_.id = ++lastId != 0 ? lastId : ++lastId; // 0 stands for no message
        self_.next = waiters;
        waiters = &self_;
        ReleaseSRWLockExclusive(&waitersLock);
    }
    ~Waiting() {
        AcquireSRWLockExclusive(&waitersLock);
        for (Waiter** link = &waiters; *link != nullptr; link = &(*link)->next)
            if (*link == &self_) {
                *link = self_.next;
                break;
            }
        ReleaseSRWLockExclusive(&waitersLock);
    }
    Waiting(const Waiting&) = delete;
    Waiting& operator=(const Waiting&) = delete;

    ULONG_PTR id() const noexcept { return self_.id; }
    // Read on the waiting thread, the only one its callback comes on.
    bool arrived() const noexcept { return self_.arrived; }
    LRESULT answer() const noexcept { return self_.answer; }

private:
    Waiter self_{0, false, 0, nullptr};
};

void CALLBACK onReply(HWND, UINT, ULONG_PTR id, LRESULT answer) {
    AcquireSRWLockExclusive(&waitersLock);
    for (Waiter* waiter = waiters; waiter != nullptr; waiter = waiter->next)
        if (waiter->id == id) {
            waiter->arrived = true;
            waiter->answer = answer;
            ReleaseSRWLockExclusive(&waitersLock);
            return;
        }
    ReleaseSRWLockExclusive(&waitersLock);
    silence::replyArrived(id);
}

} // namespace

void takeSentMessages() noexcept {
    MSG message;
    PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

SendResult sendForReply(HWND window, UINT message, WPARAM wParam, DWORD milliseconds) noexcept {
    Waiting waiting;
    if (!SendMessageCallbackW(window, message, wParam, 0, &onReply, waiting.id()))
        return {SendResult::Outcome::Gone, 0, 0};
    const ULONGLONG deadline = GetTickCount64() + milliseconds;
    for (;;) {
        takeSentMessages();    // the answer is one of them; a window of this thread has answered already
        if (waiting.arrived()) // a 32-bit value on the wire, whatever the width of LRESULT
            return {SendResult::Outcome::Answered, static_cast<int>(static_cast<UINT>(waiting.answer())), 0};
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline)
            break;
        const ULONGLONG left = deadline - now;
        const DWORD slice =
            left < kWindowCheckMilliseconds ? static_cast<DWORD>(left) : kWindowCheckMilliseconds;
        if (MsgWaitForMultipleObjectsEx(0, nullptr, slice, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE) ==
                WAIT_TIMEOUT &&
            !IsWindow(window)) {
            // Nothing says whether a callback can still come for a destroyed window: count it as late.
            silence::willArriveLate(waiting.id());
            return {SendResult::Outcome::Gone, 0, 0};
        }
    }
    // Still queued: from now on its callback is a late answer, and silence keeps count of it.
    silence::willArriveLate(waiting.id());
    return {SendResult::Outcome::TimedOut, 0, waiting.id()};
}

} // namespace player::link
