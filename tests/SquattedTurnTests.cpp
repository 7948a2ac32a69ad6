// The title's turn when its name is taken before the plug-in loads, by an object of
// another kind (a mutex): the plug-in takes a turn of its host process instead, so
// that the host's threads still read their own replies. A program of its own, so that
// nothing in it has opened the turn's shared memory first.
#include "FakePlayer.h"
#include "Plugin.h"
#include "Protocol.h"
#include "Text.h"
#include "PlayerRemote.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>

using namespace testing_support;

namespace {

TEST(SquattedTurn, TwoThreadsOfAHostReadTheirOwnTextsWhenTheTurnsNameIsAMutex) {
    const HANDLE squatter = CreateMutexW(nullptr, FALSE, PLAYER_REMOTE_REPLY_LOCK);
    ASSERT_NE(squatter, nullptr) << "the turn's shared memory is open elsewhere in this session (error "
                                 << GetLastError() << "): run this program alone";
    ASSERT_NE(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    PlayerRemoteTurn turn{};
    ASSERT_FALSE(PlayerRemoteOpenTurn(&turn)); // as the plug-in will find it

    FakePlayer fake;
    fake.answerText(protocol::RM_TEXT_TITLE, 1, L"title");
    fake.answerText(protocol::RM_TEXT_ARTIST, 1, L"artist");
    const auto host = [](const wchar_t* name, Replies& replies) {
        Instance instance;
        for (int i = 0; i < 1000; ++i) {
            wchar_t reply[32] = L"";
            plugin().getText(instance, name, reply, 32);
            replies.add(reply, name);
        }
    };
    Replies titles, artists;
    std::thread titleHost([&] { host(L"title", titles); });
    std::thread artistHost([&] { host(L"artist", artists); });
    titleHost.join();
    artistHost.join();
    EXPECT_EQ(titles.crossed, 0);
    EXPECT_EQ(artists.crossed, 0);
    EXPECT_LT(titles.missing + artists.missing, 1000); // most arrived: the turns were taken
    CloseHandle(squatter);
}

} // namespace
