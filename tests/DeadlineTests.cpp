// The one-second budget of every call, and what a player that does not answer gives:
// a slow player costs the host one budget per call, not one bound per message, and a
// failed send is no answer, never the answer 0.
#include "FakePlayer.h"
#include "Guarded.h"
#include "HostMenu.h"
#include "LibraryClock.h"
#include "Plugin.h"
#include "Protocol.h"

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

using namespace testing_support;
using namespace protocol;
using Messages = std::vector<ReceivedMessage>;

namespace {

// The budget is 1 s; the player may be handling one more message when it runs out.
constexpr ULONGLONG kCallLimit = 1500;

class Stopwatch {
public:
    ULONGLONG elapsed() const { return GetTickCount64() - start_; }

private:
    ULONGLONG start_ = GetTickCount64();
};

void scriptLivelyPlayer(FakePlayer& fake, int entries) {
    fake.answer(RM_STATE_SHUFFLE, 1);
    fake.answer(RM_STATE_REPEAT, 1);
    fake.answer(RM_IS_SUPPORTED, 1);
    fake.answer(RM_GET_RATING, 3);
    fake.answer(RM_GET_TRACKLENGTH, 245);
    fake.answer(RM_GET_POSITION, 5);
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 50);
    fake.answer(RM_PLAYLIST_COUNT, entries);
    fake.answer(RM_PLAYLIST_CURRENT, 0);
    fake.answerWith(RM_PLAYLIST_ITEMTEXT, [](WPARAM i) { return Reply{1, L"entry " + std::to_wstring(i)}; });
}

// Each call against a player whose every answer comes after `delay`, first thing (after
// a silence the calls that follow ask nothing: HostRefresh in RefreshTests.cpp).
TEST(SlowPlayer, EveryCallEndsWithinTheBudgetWithTheShapeOfAFailedSend) {
    for (DWORD delay : {350u, 700u}) {
        SCOPED_TRACE(testing::Message() << "each answer after " << delay << " ms");
        const auto slowPlayer = [delay](FakePlayer& fake) {
            scriptLivelyPlayer(fake, 50);
            fake.delayAll(delay);
        };
        {
            // Nine sends at full speed: only the first one or two fit, and no Rate submenu is reached.
            FakePlayer fake;
            slowPlayer(fake);
            Instance instance;
            HMENU menu = hostMenu();
            Stopwatch contextMenu;
            EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 1, 100), 4);
            EXPECT_LT(contextMenu.elapsed(), kCallLimit);
            EXPECT_EQ(readMenu(menu).size(), 7u);
            DestroyMenu(menu);
        }
        {
            // Fifty entries: the array is whole and terminated, the late entries have ids and no text.
            FakePlayer fake;
            slowPlayer(fake);
            Instance instance;
            Stopwatch playlist;
            PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
            EXPECT_LT(playlist.elapsed(), kCallLimit);
            ASSERT_NE(items, nullptr);
            for (int i = 0; i < 50; ++i) {
                EXPECT_EQ(items[i].id, i + 1);
                EXPECT_EQ(items[i].flags == 2 || items[i].flags == 3, true);
            }
            EXPECT_STREQ(items[49].text, L"");
            EXPECT_EQ(items[50].id, 0);
            EXPECT_EQ(items[50].flags, 0);
            plugin().freeMenu(instance, L"*playlist", items);
        }
        {
            // Two sends: both fit at 350 ms (0.7 s of the 0.8 a stretch may wait); at 700 ms the position
            // does not, and no time is shown.
            FakePlayer fake;
            slowPlayer(fake);
            Instance instance;
            Guarded<16> time;
            Stopwatch trackTime;
            plugin().getText(instance, L"tracktime", time.data(), time.size());
            EXPECT_LT(trackTime.elapsed(), kCallLimit);
            EXPECT_EQ(time.text(), delay == 350 ? L"4:00" : L"--:--");
            EXPECT_TRUE(time.guardsIntact());
        }
        {
            // The maximum, then the volume: at 700 ms the second is out of time, and nothing is posted.
            FakePlayer fake;
            slowPlayer(fake);
            Instance instance;
            Stopwatch volumeStep;
            plugin().sendCmd(instance, L"volumeup", 0);
            EXPECT_LT(volumeStep.elapsed(), kCallLimit);
            fake.delayAll(0);
            bool stepPosted = false;
            for (const ReceivedMessage& m : fake.messages())
                stepPosted = stepPosted || m.message == RM_SETVOLUME;
            EXPECT_EQ(stepPosted, delay == 350u);
        }
    }
}

TEST(SlowPlayer, EntriesReadInTimeKeepTheirText) {
    FakePlayer fake;
    scriptLivelyPlayer(fake, 50);
    fake.delayOn(RM_PLAYLIST_ITEMTEXT, 300);
    Instance instance;
    Stopwatch playlist;
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
    EXPECT_LT(playlist.elapsed(), kCallLimit);
    ASSERT_NE(items, nullptr);
    EXPECT_STREQ(items[0].text, L"entry 0");
    EXPECT_STREQ(items[1].text, L"entry 1");
    EXPECT_STREQ(items[4].text, L"");
    EXPECT_EQ(items[0].flags, 3);
    EXPECT_EQ(items[49].flags, 2);
    plugin().freeMenu(instance, L"*playlist", items);
}

// A single-answer query whose answer never comes gives what an absent player gives;
// the same query answered 0 by a healthy player keeps the meaning of 0.
struct SingleAnswer {
    const char* what;
    UINT hungOn;
    std::function<void(PlayerInstance*, Guarded<16>&, int&)> call;
    const wchar_t* textWhenHung; // nullptr: the buffer stays untouched
    const wchar_t* textWhenZero;
    int numberWhenZero;
};

auto state(const wchar_t* name) {
    return [name](PlayerInstance* instance, Guarded<16>& out, int&) {
        plugin().getState(instance, name, out.data());
    };
}
auto text(const wchar_t* name) {
    return [name](PlayerInstance* instance, Guarded<16>& out, int&) {
        plugin().getText(instance, name, out.data(), out.size());
    };
}
auto prop(const wchar_t* name, int kind) {
    return [name, kind](PlayerInstance* instance, Guarded<16>&, int& number) {
        number = plugin().getProp(instance, name, kind);
    };
}

// The edges of the budget on a clock the test sets: the call finds the window at tick
// 10,000, so its budget is spent at 11,000. A send asked at or past that waits nothing
// and is no answer; one asked before it is answered.
TEST(Budget, ASendAtOrPastItsEndWaitsNothingAndIsNoAnswer) {
    struct Case {
        ULONGLONG askedAt;
        std::optional<int> answer; // none: 1 ms left may or may not be enough; the send is made
        bool reachesPlayer;
    };
    const Case cases[] = {{10'000, 42, true},
                          {10'999, std::nullopt, true},
                          {11'000, 0, false},
                          {11'001, 0, false},
                          {15'000, 0, false}};
    FakePlayer fake;
    fake.answer(RM_GET_VOLUME, 42);
    Instance instance;
    LibraryClock clock;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.askedAt);
        fake.clearMessages();
        clock.ticks({10'000, c.askedAt});
        Stopwatch call; // the test's own clock is the real one
        const int answer = plugin().getProp(instance, L"volume", 5);
        if (c.answer) {
            EXPECT_EQ(answer, *c.answer);
        }
        EXPECT_LT(call.elapsed(), 500u);
        EXPECT_EQ(fake.messages(), c.reachesPlayer ? Messages{sent(RM_GET_VOLUME)} : Messages{});
    }
}

TEST(HungPlayer, SingleAnswerQueriesGiveWhatAnAbsentPlayerGives) {
    const SingleAnswer cases[] = {
        {"state playpause", RM_STATE_PLAYPAUSE, state(L"playpause"), nullptr, L"pause", 0},
        {"state shuffle", RM_STATE_SHUFFLE, state(L"shuffle"), nullptr, L"off", 0},
        {"text title", RM_TEXT_TITLE, text(L"title"), nullptr, L"", 0},
        {"text tipcaption", RM_TEXT_TIPCAPTION, text(L"tipcaption"), L"Velmora player", L"", 0},
        {"text tracktime, length", RM_GET_TRACKLENGTH, text(L"tracktime"), L"--:--", L"--:--", 0},
        {"text tracktime, position", RM_GET_POSITION, text(L"tracktime"), L"--:--", L"1:40", 0},
        {"prop play supported", RM_IS_SUPPORTED, prop(L"play", 2), nullptr, nullptr, 1},
        {"prop volume upper", RM_GET_MAXVOLUME, prop(L"volume", 3), nullptr, nullptr, 0},
        {"prop volume current", RM_GET_VOLUME, prop(L"volume", 5), nullptr, nullptr, 0},
        {"prop tracktime upper", RM_GET_TRACKLENGTH, prop(L"tracktime", 3), nullptr, nullptr, 1},
        {"prop tracktime current", RM_GET_POSITION, prop(L"tracktime", 5), nullptr, nullptr, 1},
    };
    for (const SingleAnswer& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlayer fake;
        Instance instance;
        fake.answer(RM_GET_TRACKLENGTH, 100);

        fake.answer(c.hungOn, 0);
        Guarded<16> zero;
        int zeroNumber = -1;
        c.call(instance, zero, zeroNumber);
        if (c.textWhenZero != nullptr)
            EXPECT_EQ(zero.text(), c.textWhenZero);
        else
            EXPECT_EQ(zeroNumber, c.numberWhenZero);

        fake.answer(c.hungOn, 7);
        fake.hangOn(c.hungOn);
        Guarded<16> hung;
        int hungNumber = -1;
        Stopwatch call;
        c.call(instance, hung, hungNumber);
        EXPECT_LT(call.elapsed(), kCallLimit);
        fake.release();
        if (c.textWhenZero == nullptr)
            EXPECT_EQ(hungNumber, 0);
        else if (c.textWhenHung == nullptr)
            EXPECT_TRUE(hung.untouched());
        else
            EXPECT_EQ(hung.text(), c.textWhenHung);
        EXPECT_TRUE(hung.guardsIntact());
    }
}

// The title is read as the player set it, without a message: a player window of another
// thread of the host's own process, busy again once it answered, holds nothing up.
TEST(BusyPlayer, TheTitleIsReadWithoutWaitingOnAPlayerOfThisProcess) {
    FakePlayer fake;
    const HWND window = fake.window();
    fake.answerWith(RM_TEXT_TITLE, [window](WPARAM) {
        SetWindowTextW(window, L"The title");
        ReplyMessage(1); // the answer goes back now; the player stays busy
        Sleep(2000);
        return Reply{1, std::nullopt};
    });
    Instance instance;
    Guarded<16> title;
    Stopwatch call;
    plugin().getText(instance, L"title", title.data(), title.size());
    EXPECT_LT(call.elapsed(), 1000u);
    EXPECT_EQ(title.text(), L"The title");
}

} // namespace
