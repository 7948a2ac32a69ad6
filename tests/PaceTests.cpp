// A host refreshing once a second against players of every pace: a player that keeps
// up is answered in full, a slower one loses the same answers at every refresh, no
// refresh holds the host more than a second, a pause costs only the refreshes it falls
// in, and a hung player is sent a handful of messages in a minute.
#include "FakePlayer.h"
#include "HostRefresh.h"
#include "Plugin.h"
#include "Protocol.h"
#include "SendCounter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

using namespace testing_support;
using namespace protocol;

namespace {

constexpr ULONGLONG kRefreshLimit = 1000; // what any refresh may hold the host
constexpr ULONGLONG kSilentRefreshLimit = 300;

void scriptPlayer(FakePlayer& fake) {
    fake.answer(RM_STATE_PLAYPAUSE, 1);
    fake.answerText(RM_TEXT_TITLE, 1, L"The title");
    fake.answerText(RM_TEXT_ARTIST, 1, L"The artist");
    fake.answerText(RM_TEXT_ALBUM, 1, L"The album");
    fake.answerText(RM_TEXT_TIPCAPTION, 1, L"The caption");
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 40);
    fake.answer(RM_GET_TRACKLENGTH, 200);
    fake.answer(RM_GET_POSITION, 10);
    fake.answer(RM_IS_SUPPORTED, 1);
}

struct Refresh {
    tools::RefreshVerdict verdict;
    ULONGLONG began, ended;
    bool full(int calls) const { return verdict.player == calls && verdict.other == 0; }
};

// `count` refreshes of `calls` calls a second apart, each told apart from a refresh the
// player answered in full and one with no player at all.
class Refreshes {
public:
    Refreshes(Instance& instance, int calls, const tools::RefreshAnswers& absent)
        : instance_(instance), calls_(calls), absent_(absent),
          answered_(tools::hostRefresh(plugin(), instance, calls)) {}
    std::vector<Refresh> run(int count, const std::function<void(int)>& before = {}) {
        std::vector<Refresh> refreshes;
        const ULONGLONG start = GetTickCount64() + 200; // a stretch of its own
        for (int i = 0; i < count; ++i) {
            const ULONGLONG due = start + 1000ull * i;
            if (due > GetTickCount64())
                Sleep(static_cast<DWORD>(due - GetTickCount64()));
            if (before)
                before(i);
            Refresh r{};
            r.began = GetTickCount64();
            r.verdict = tools::classify(tools::hostRefresh(plugin(), instance_, calls_), answered_, absent_);
            r.ended = GetTickCount64();
            refreshes.push_back(r);
        }
        return refreshes;
    }

private:
    Instance& instance_;
    int calls_;
    const tools::RefreshAnswers& absent_;
    tools::RefreshAnswers answered_;
};

tools::RefreshAnswers absentAnswers() {
    EXPECT_EQ(FindWindowW(kWindowClass, nullptr), nullptr);
    Instance instance;
    return tools::hostRefresh(plugin(), instance, tools::kBusyHostRefreshCalls);
}

// The most times one call's answer went between the player's and an absent player's.
int mostChanges(const std::vector<Refresh>& refreshes) {
    int most = 0;
    for (int call = 0; call < tools::kBusyHostRefreshCalls; ++call) {
        int changes = 0;
        for (std::size_t i = 1; i < refreshes.size(); ++i)
            changes += refreshes[i].verdict.answered[call] != refreshes[i - 1].verdict.answered[call];
        most = std::max(most, changes);
    }
    return most;
}

TEST(Pace, APlayerAnsweringEveryMessageAfter40MsIsAnsweredInFullForAMinute) {
    const tools::RefreshAnswers absent = absentAnswers();
    FakePlayer fake;
    scriptPlayer(fake);
    Instance instance;
    Refreshes host(instance, tools::kBusyHostRefreshCalls, absent);
    fake.delayAll(40);
    const std::vector<Refresh> refreshes = host.run(60);
    for (std::size_t i = 0; i < refreshes.size(); ++i) {
        EXPECT_TRUE(refreshes[i].full(tools::kBusyHostRefreshCalls))
            << "refresh " << i + 1 << ": " << refreshes[i].verdict.player << " answers of the player's";
        EXPECT_LE(refreshes[i].ended - refreshes[i].began, kRefreshLimit) << "refresh " << i + 1;
    }
}

// A player too slow for a whole refresh loses answers, but the same ones at every
// refresh: each value changes at most twice in twenty refreshes, and no refresh, the
// first included, holds the host more than a second.
TEST(Pace, ASlowerPlayerLosesTheSameAnswersEveryRefreshAndNoRefreshHoldsTheHostASecond) {
    struct Case {
        const char* what;
        int calls;
        std::function<void(FakePlayer&)> pace;
    };
    const Case cases[] = {
        {"every message after 60 ms", tools::kBusyHostRefreshCalls, [](FakePlayer& f) { f.delayAll(60); }},
        {"every message after 0.1 s", tools::kBusyHostRefreshCalls, [](FakePlayer& f) { f.delayAll(100); }},
        {"texts after 0.3 s, the rest at once", tools::kHostRefreshCalls,
         [](FakePlayer& f) {
             for (const UINT text : {RM_TEXT_TITLE, RM_TEXT_ARTIST, RM_TEXT_ALBUM})
                 f.delayOn(text, 300);
         }},
    };
    const tools::RefreshAnswers absent = absentAnswers();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlayer fake;
        scriptPlayer(fake);
        Instance instance;
        Refreshes host(instance, c.calls, absent);
        c.pace(fake);
        const tools::SendCounter sends(plugin().module.get());
        const std::vector<Refresh> refreshes = host.run(20);
        EXPECT_LE(mostChanges(refreshes), 2);
        // No wait is begun that the rest of the 0.8 s cuts short (on Windows each such
        // send stays in the player's queue): one a refresh would be 20.
        EXPECT_LE(sends.counts().leftQueued, 2);
        int answers = 0;
        for (std::size_t i = 0; i < refreshes.size(); ++i) {
            EXPECT_LE(refreshes[i].ended - refreshes[i].began, kRefreshLimit) << "refresh " << i + 1;
            EXPECT_EQ(refreshes[i].verdict.other, 0);
            answers += refreshes[i].verdict.player;
        }
        EXPECT_GT(answers, 20 * c.calls / 3) << "it answers; it must not be starved";
    }
}

// A prompt player that pauses costs the refreshes the pause falls in, and no other.
TEST(Pace, APauseCostsOnlyTheRefreshesItFallsIn) {
    struct Case {
        const char* what;
        int refreshes;
        std::function<void(FakePlayer&, int)> before; // before refresh n (from 0)
    };
    const Case cases[] = {
        {"one pause of 1.5 s", 10,
         [](FakePlayer& f, int refresh) {
             if (refresh == 3)
                 f.pauseNext(1500);
         }},
        {"a pause of 1 s every 100th message", 20,
         [](FakePlayer& f, int refresh) {
             if (refresh == 0)
                 f.pauseNext(1000, 100);
         }},
    };
    const tools::RefreshAnswers absent = absentAnswers();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlayer fake;
        scriptPlayer(fake);
        Instance instance;
        Refreshes host(instance, tools::kBusyHostRefreshCalls, absent);
        const std::vector<Refresh> refreshes = host.run(c.refreshes, [&](int n) { c.before(fake, n); });
        const std::vector<FakePlayer::Pause> pauses = fake.pauses();
        ASSERT_FALSE(pauses.empty());
        for (std::size_t i = 0; i < refreshes.size(); ++i) {
            const Refresh& r = refreshes[i];
            const bool paused = std::any_of(pauses.begin(), pauses.end(), [&](const FakePlayer::Pause& p) {
                return p.began <= r.ended && p.ended >= r.began;
            });
            EXPECT_LE(r.ended - r.began, kRefreshLimit) << "refresh " << i + 1;
            if (!paused) {
                EXPECT_TRUE(r.full(tools::kBusyHostRefreshCalls))
                    << "refresh " << i + 1 << ", no pause in it: " << r.verdict.player << " answers";
            }
        }
    }
}

// Hung for a minute, the player is sent a handful of messages, counted as Windows
// keeps them (a send that timed out stays queued there; Wine withdraws it); after the
// first refresh each holds the host 0.3 s at most.
TEST(Pace, AHungPlayerIsSentAHandfulOfMessagesInAMinute) {
    FakePlayer fake;
    scriptPlayer(fake);
    Instance instance;
    ASSERT_EQ(tools::hostRefresh(plugin(), instance).title, L"The title");
    fake.hangOn(RM_STATE_PLAYPAUSE);
    const tools::SendCounter sends(plugin().module.get());
    const ULONGLONG start = GetTickCount64();
    for (int refresh = 0; refresh < 60; ++refresh) {
        const ULONGLONG due = start + 1000ull * refresh;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        const ULONGLONG began = GetTickCount64();
        tools::hostRefresh(plugin(), instance);
        const ULONGLONG held = GetTickCount64() - began;
        EXPECT_LE(held, refresh == 0 ? kRefreshLimit : kSilentRefreshLimit) << "refresh " << refresh + 1;
    }
    const tools::SendCounts counted = sends.counts();
    EXPECT_EQ(counted.answered, 0);
    EXPECT_LE(counted.reached(), 6) << counted.leftQueued << " left queued";
    fake.release();
}

} // namespace
