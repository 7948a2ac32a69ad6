// The title's turn as other programs take it (PlayerRemote.h): waited for, taken over
// only when its holder has ended, and no text when held past what the plug-in may wait.
#include "FakePlayer.h"
#include "ImportPatch.h"
#include "Plugin.h"
#include "Protocol.h"
#include "PlayerRemote.h"

#include <gtest/gtest.h>

#include <aclapi.h>
#include <sddl.h>

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

// Whoever makes the turn's shared memory makes it open to every host of the session,
// normal, elevated and low-integrity: the descriptor read back grants Everyone and app
// containers and is labelled low. (Wine holds neither restricting SIDs nor integrity
// against an open, so a sandboxed host's open cannot be tried here.)
TEST(SideBySide, TheTurnIsOpenToEveryHostOfTheSessionWhicheverMadeIt) {
    FakePlayer fake;
    fake.answerText(protocol::RM_TEXT_TITLE, 1, L"The title");
    Instance instance;
    wchar_t title[32] = L"";
    plugin().getText(instance, L"title", title, 32); // the plug-in has opened it, or made it
    ASSERT_STREQ(title, L"The title");
    PlayerRemoteTurn turn{};
    ASSERT_TRUE(PlayerRemoteOpenTurn(&turn));

    PACL dacl = nullptr, sacl = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ASSERT_EQ(GetSecurityInfo(turn.mapping, SE_KERNEL_OBJECT,
                              DACL_SECURITY_INFORMATION | LABEL_SECURITY_INFORMATION, nullptr, nullptr, &dacl,
                              &sacl, &descriptor),
              static_cast<DWORD>(ERROR_SUCCESS));
    const auto sidOf = [](const wchar_t* text) {
        PSID sid = nullptr;
        ConvertStringSidToSidW(text, &sid);
        return sid;
    };
    const PSID everyone = sidOf(L"S-1-1-0"), appContainers = sidOf(L"S-1-15-2-1"),
               low = sidOf(L"S-1-16-4096");
    bool everyoneMaps = false, appContainersMap = false, labelledLow = false;
    for (DWORD i = 0; dacl != nullptr && i < dacl->AceCount; ++i) {
        ACCESS_ALLOWED_ACE* ace = nullptr;
        if (GetAce(dacl, i, reinterpret_cast<void**>(&ace)) &&
            ace->Header.AceType == ACCESS_ALLOWED_ACE_TYPE) {
            const bool maps =
                (ace->Mask & GENERIC_ALL) != 0 || (ace->Mask & (SECTION_MAP_READ | SECTION_MAP_WRITE)) ==
                                                      (SECTION_MAP_READ | SECTION_MAP_WRITE);
            everyoneMaps = everyoneMaps || (maps && EqualSid(&ace->SidStart, everyone));
            appContainersMap = appContainersMap || (maps && EqualSid(&ace->SidStart, appContainers));
        }
    }
    for (DWORD i = 0; sacl != nullptr && i < sacl->AceCount; ++i) {
        SYSTEM_MANDATORY_LABEL_ACE* ace = nullptr;
        if (GetAce(sacl, i, reinterpret_cast<void**>(&ace)) &&
            ace->Header.AceType == SYSTEM_MANDATORY_LABEL_ACE_TYPE)
            labelledLow =
                EqualSid(&ace->SidStart, low) && (ace->Mask & SYSTEM_MANDATORY_LABEL_NO_WRITE_UP) != 0;
    }
    EXPECT_TRUE(everyoneMaps);
    EXPECT_TRUE(appContainersMap);
    EXPECT_TRUE(labelledLow);
    LocalFree(descriptor);

    for (const PSID sid : {everyone, appContainers, low})
        LocalFree(sid);
    PlayerRemoteCloseTurn(&turn);
}

} // namespace
