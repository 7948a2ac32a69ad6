// The title's turn as other programs take it (PlayerRemote.h): waited for, taken over
// only when its holder has ended, and no text when held past what the plug-in may wait.
#include "FakePlayer.h"
#include "ImportPatch.h"
#include "Plugin.h"
#include "Protocol.h"
#include "PlayerRemote.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace testing_support;

namespace {

template <typename Work>
ULONGLONG timed(Work&& work) {
    const ULONGLONG start = GetTickCount64();
    work();
    return GetTickCount64() - start;
}

// OpenThread as the library meets it when it may not open the holder's thread (an
// elevated holder, seen from a normal host), or when there is no such thread.
DWORD openThreadError = 0;
HANDLE WINAPI failingOpenThread(DWORD, BOOL, DWORD) {
    SetLastError(openThreadError);
    return nullptr;
}

// The title's turn held by another program is waited for within what the plug-in may
// wait on the player; one left by a thread that ended is taken over, but not one whose
// thread merely cannot be opened; one held past the wait gives no text.
TEST(SideBySide, ATurnHeldIsWaitedForAndOnlyOneLeftByAnEndedThreadIsTakenOver) {
    PlayerRemoteTurn turn{};
    ASSERT_TRUE(PlayerRemoteOpenTurn(&turn));
    struct Holder {
        const char* what;
        DWORD holds; // milliseconds
        bool givesBack;
        DWORD openError; // 0: OpenThread as it is
        const wchar_t* text;
        ULONGLONG atLeast, below; // how long the call takes
    };
    const Holder holders[] = {
        {"held 300 ms", 300, true, 0, L"The title", 250, 1000},
        {"left behind", 0, false, 0, L"The title", 0, 300},
        {"left behind, no such thread", 0, false, ERROR_INVALID_PARAMETER, L"The title", 0, 300},
        {"left behind, the thread not to be opened", 0, false, ERROR_ACCESS_DENIED, L"untouched", 750, 1400},
        {"held 1500 ms", 1500, true, 0, L"untouched", 750, 1400},
    };
    for (const Holder& h : holders) {
        SCOPED_TRACE(h.what);
        FakePlayer fake; // a window of its own: nothing owed from the case before
        fake.answerText(protocol::RM_TEXT_TITLE, 1, L"The title");
        Instance instance;
        HANDLE taken = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread other([&] {
            BOOL again = FALSE;
            EXPECT_EQ(PlayerRemoteTryTakeTurn(&turn, &again), 0);
            SetEvent(taken);
            Sleep(h.holds);
            if (h.givesBack)
                PlayerRemoteGiveTurn(&turn);
        });
        WaitForSingleObject(taken, INFINITE);
        if (!h.givesBack)
            other.join(); // it ended holding the turn
        openThreadError = h.openError;
        void* realOpenThread = h.openError != 0
                                   ? tools::patchImport(plugin().module.get(), "OpenThread",
                                                        reinterpret_cast<void*>(&failingOpenThread))
                                   : nullptr;
        wchar_t text[32] = L"untouched";
        const ULONGLONG took = timed([&] { plugin().getText(instance, L"title", text, 32); });
        if (realOpenThread != nullptr)
            tools::patchImport(plugin().module.get(), "OpenThread", realOpenThread);
        EXPECT_STREQ(text, h.text);
        EXPECT_GE(took, h.atLeast);
        EXPECT_LT(took, h.below);
        if (other.joinable())
            other.join();
        InterlockedExchange64(turn.word, 0); // whatever was left, for the next case
        CloseHandle(taken);
    }
    PlayerRemoteCloseTurn(&turn);
}

} // namespace
