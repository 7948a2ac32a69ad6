// The title's turn as other programs take it (PlayerRemote.h): waited for, taken over
// when left behind, and no text when held past the call's budget.
#include "FakePlayer.h"
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

// The title's turn held by another program is waited for within the call's budget;
// one left by a thread that ended is taken over; one held past the budget gives no text.
TEST(SideBySide, ATurnHeldIsWaitedForAndOneLeftBehindIsTakenOver) {
    FakePlayer fake;
    fake.answerText(protocol::RM_TEXT_TITLE, 1, L"The title");
    Instance instance;
    PlayerRemoteTurn turn{};
    ASSERT_TRUE(PlayerRemoteOpenTurn(&turn));
    const auto title = [&] {
        wchar_t text[32] = L"untouched";
        plugin().getText(instance, L"title", text, 32);
        return std::wstring(text);
    };
    struct Holder {
        DWORD holds; // milliseconds
        bool givesBack;
        const wchar_t* text;
        ULONGLONG atLeast, below; // how long the call takes
    };
    for (const Holder& h :
         {Holder{300, true, L"The title", 250, 1000}, Holder{0, false, L"The title", 0, 300},
          Holder{1500, true, L"untouched", 900, 1400}}) {
        SCOPED_TRACE(testing::Message() << "held " << h.holds << " ms");
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
        std::wstring got;
        const ULONGLONG took = timed([&] { got = title(); });
        EXPECT_EQ(got, h.text);
        EXPECT_GE(took, h.atLeast);
        EXPECT_LT(took, h.below);
        if (other.joinable())
            other.join();
        CloseHandle(taken);
    }
    PlayerRemoteCloseTurn(&turn);
}

} // namespace
