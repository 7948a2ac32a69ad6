// Hosts as they really call: a burst of calls at every refresh against a player that
// stops answering costs one budget in all, a silent player gets no pile of messages,
// it is asked again once it caught up, and hosts side by side read their own replies.
// (PaceTests.cpp: players of every pace, for minutes.)
#include "FakePlayer.h"
#include "HostRefresh.h"
#include "HostWindow.h"
#include "LibraryClock.h"
#include "Plugin.h"
#include "Process.h"
#include "Protocol.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace testing_support;
using namespace protocol;

namespace {

constexpr ULONGLONG kFirstBurstLimit = 1000; // no refresh holds the host more than a second
constexpr ULONGLONG kLaterBurstLimit = 300;  // one brief question of 200 ms at most
constexpr int kRefreshesToRecover = 4;

template <typename Work>
ULONGLONG timed(Work&& work) {
    const ULONGLONG start = GetTickCount64();
    work();
    return GetTickCount64() - start;
}

void scriptPlayer(FakePlayer& fake) {
    fake.answerText(RM_TEXT_TITLE, 1, L"The title");
    fake.answerText(RM_TEXT_ARTIST, 1, L"The artist");
    fake.answerText(RM_TEXT_ALBUM, 1, L"The album");
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 40);
    fake.answer(RM_GET_TRACKLENGTH, 200);
    fake.answer(RM_GET_POSITION, 10);
}

std::wstring text(PlayerInstance* instance, const wchar_t* name) {
    wchar_t reply[32] = L"untouched";
    plugin().getText(instance, name, reply, 32);
    return reply;
}

// A player window on the test's own thread, answering through `answer`.
class InThreadPlayer {
public:
    using Answer = std::function<LRESULT(HWND, UINT)>;
    explicit InThreadPlayer(Answer answer) : answer_(std::move(answer)) {
        WNDCLASSW windowClass{}; // unless a FakePlayer registered the class already
        windowClass.lpfnWndProc = &DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = protocol::kWindowClass;
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, protocol::kWindowClass, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
        SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&proc));
    }
    ~InThreadPlayer() { DestroyWindow(window_); }
    HWND window() const { return window_; }

private:
    static LRESULT CALLBACK proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* self = reinterpret_cast<InThreadPlayer*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (self != nullptr && message >= WM_USER && message < WM_APP)
            return self->answer_(window, message);
        return DefWindowProcW(window, message, wParam, lParam);
    }
    Answer answer_;
    HWND window_ = nullptr;
};

struct Silence {
    const char* what;
    std::function<void(FakePlayer&)> begin;
    ULONGLONG endsAfter; // milliseconds from the first refresh
    std::function<void(FakePlayer&)> end;
    std::size_t mostMessages; // that it takes up in all, late ones included
};

TEST(HostRefresh, ASilentPlayerCostsOneBudgetThenNearlyNothingGetsNoPileAndIsAskedAgain) {
    const Silence cases[] = {
        // It can handle about 7.7 messages in 10 s; a pile would be 10 x 13.
        {"answering every message after 1.3 s", [](FakePlayer& f) { f.delayAll(1300); }, 10'000,
         [](FakePlayer& f) { f.delayAll(0); }, 10},
        {"stuck 9 s in one message", [](FakePlayer& f) { f.hangOn(RM_STATE_PLAYPAUSE); }, 9'000,
         [](FakePlayer& f) { f.release(); }, 2},
    };
    for (const Silence& c : cases) {
        SCOPED_TRACE(c.what);
        FakePlayer fake;
        scriptPlayer(fake);
        Instance instance;
        ASSERT_EQ(tools::hostRefresh(plugin(), instance).title, L"The title");
        fake.clearMessages();
        c.begin(fake);

        const ULONGLONG start = GetTickCount64();
        std::thread ending([&] {
            Sleep(static_cast<DWORD>(c.endsAfter));
            c.end(fake);
        });
        // A refresh a second while it is silent.
        std::size_t takenWhileSilent = 0;
        for (int burst = 0; burst < static_cast<int>(c.endsAfter / 1000); ++burst) {
            const ULONGLONG next = start + 1000ull * burst;
            const ULONGLONG now = GetTickCount64();
            if (next > now)
                Sleep(static_cast<DWORD>(next - now));
            const ULONGLONG held = timed([&] { tools::hostRefresh(plugin(), instance); });
            SCOPED_TRACE(testing::Message() << "burst " << burst + 1 << " held the host " << held << " ms");
            EXPECT_LT(held, burst == 0 ? kFirstBurstLimit : kLaterBurstLimit);
            takenWhileSilent = fake.taken();
        }
        ending.join();
        // What it takes up once answering again, before the next call: only what was queued.
        const std::size_t takenInAll = fake.messages().size();
        EXPECT_LE(takenInAll, c.mostMessages);
        EXPECT_LE(takenInAll, takenWhileSilent + 1) << "more than one message of the library waited";

        int refreshes = 0;
        while (refreshes < kRefreshesToRecover + 2 &&
               tools::hostRefresh(plugin(), instance).title != L"The title") {
            ++refreshes;
            Sleep(1000);
        }
        EXPECT_LT(refreshes, kRefreshesToRecover);
    }
}

// A wait cut short by the end of its call's second is charged but makes no silence; one
// ended by what the player may keep the plug-in waiting (0.8 s) does. Edges on a clock
// the test sets: the call finds the window at 10,000 and asks with `left` ms of its
// budget; the clock then reaches the end, and the next call comes 10 ms later.
TEST(HostRefresh, AnUnansweredWaitMakesThePlayerSilentUnlessItsCallsSecondEndedIt) {
    struct Case {
        ULONGLONG left;
        DWORD takes; // the player's time on the first message
        bool silentAfter;
    };
    for (const Case& c :
         {Case{900, 1000, true}, Case{800, 1000, true}, Case{150, 600, false}, Case{50, 600, false}}) {
        SCOPED_TRACE(testing::Message() << c.left << " ms left");
        FakePlayer fake;
        fake.answer(RM_GET_VOLUME, 42);
        fake.answer(RM_GET_MAXVOLUME, 100);
        fake.delayOn(RM_GET_VOLUME, c.takes);
        Instance instance;
        LibraryClock clock;
        clock.ticks({10'000, 11'000 - c.left, 11'000, 11'010});
        EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0);
        // Within the quiet that follows a silence: a silent player is asked nothing.
        EXPECT_EQ(plugin().getProp(instance, L"volume", 3), c.silentAfter ? 0 : 100);
        EXPECT_EQ(fake.messages().size(), c.silentAfter ? 1u : 2u);
    }
}

// Whatever the player's pace, a refresh holds the host about one budget, and what it
// is told is the player's answer or an absent player's, never anything else; a player
// prompt again is answered in full within three refreshes.
TEST(HostRefresh, WhateverThePaceARefreshHoldsTheHostAboutOneBudgetAndTellsTheTruth) {
    Instance instance;
    const tools::RefreshAnswers absent = tools::hostRefresh(plugin(), instance);
    for (const DWORD pace : {150u, 300u, 600u}) {
        SCOPED_TRACE(testing::Message() << "answering every message after " << pace << " ms");
        FakePlayer fake;
        scriptPlayer(fake);
        const tools::RefreshAnswers answered = tools::hostRefresh(plugin(), instance);
        fake.delayAll(pace);
        const ULONGLONG start = GetTickCount64();
        for (int refresh = 0; refresh < 4; ++refresh) {
            const ULONGLONG due = start + 1000ull * refresh;
            if (due > GetTickCount64())
                Sleep(static_cast<DWORD>(due - GetTickCount64()));
            tools::RefreshAnswers got;
            const ULONGLONG held = timed([&] { got = tools::hostRefresh(plugin(), instance); });
            EXPECT_LT(held, kFirstBurstLimit) << "refresh " << refresh + 1;
            for (std::size_t i = 0; i < got.each.size(); ++i) {
                const std::wstring value = got.each[i].data();
                EXPECT_TRUE(value == answered.each[i].data() || value == absent.each[i].data())
                    << narrow(tools::kHostRefreshNames[i]) << " told " << narrow(value);
            }
        }
        fake.delayAll(0);
        int refreshes = 1;
        while (refreshes <= 3 && tools::hostRefresh(plugin(), instance).each != answered.each) {
            ++refreshes;
            Sleep(1000);
        }
        EXPECT_LE(refreshes, 3);
    }
}

// While the player is silent every call answers at once as for an absent player, but
// commands are posted, and carried out when it recovers. The library's clock stands
// still after the wait that made it silent, so that no brief question comes meanwhile.
TEST(HostRefresh, WhileSilentEveryQueryAnswersAsIfAbsentAtOnceAndCommandsAreKept) {
    FakePlayer fake;
    scriptPlayer(fake);
    fake.answer(RM_PLAYLIST_COUNT, 3);
    Instance instance;
    plugin().sendCmd(instance, L"title", 0); // a display setting changed: "needsave" is raised
    fake.hangOn(RM_GET_VOLUME);
    EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0); // 0.8 s, once
    {
        LibraryClock clock;
        clock.ticks({GetTickCount64()});
        wchar_t state[8] = L"x";
        plugin().getState(instance, L"playpause", state);
        EXPECT_STREQ(state, L"x");
        wchar_t text[32] = L"x";
        plugin().getText(instance, L"title", text, 32);
        EXPECT_STREQ(text, L"x");
        plugin().getText(instance, L"tracktime", text, 32);
        EXPECT_STREQ(text, L"--:--");
        plugin().getText(instance, L"tipcaption", text, 32);
        EXPECT_STREQ(text, L"Velmora player");
        for (int kind = 1; kind <= 6; ++kind)
            EXPECT_EQ(plugin().getProp(instance, L"tracktime", kind), 0) << "kind " << kind;
        EXPECT_EQ(plugin().getProp(instance, L"needsave", 0), 0);
        EXPECT_EQ(plugin().queryMenu(instance, L"*playlist"), nullptr);
        const HMENU menu = CreatePopupMenu();
        EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 0, 1), 4); // its items, without marks or Rate
        DestroyMenu(menu);
        plugin().sendCmd(instance, L"next", 0);
    }
    fake.release();
    const std::vector<ReceivedMessage> taken = fake.messages();
    ASSERT_EQ(taken.size(), 2u); // nothing was asked while it was silent
    EXPECT_EQ(taken[1], posted(RM_NEXT));
    // Kept until a call that asks finds it answering again; what asks nothing follows.
    EXPECT_EQ(plugin().getProp(instance, L"needsave", 0), 0);
    EXPECT_TRUE(waitUntil(
        [&] {
            return plugin().getProp(instance, L"volume", 5) == 40 &&
                   plugin().getProp(instance, L"needsave", 0) == 1;
        },
        3000));
}

// The window is found at every call: only the silence of that one window is kept.
TEST(HostRefresh, APlayerThatQuitsIsAbsentAtOnceAndANewWindowIsAskedAsUsual) {
    Instance instance;
    auto first = std::make_unique<FakePlayer>();
    first->answer(RM_GET_VOLUME, 40);
    first->delayAll(1300);
    EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0);
    first.reset(); // it quits once it has handled what it holds

    wchar_t caption[32] = L"";
    EXPECT_LT(timed([&] { plugin().getText(instance, L"tipcaption", caption, 32); }), 100u);
    EXPECT_STREQ(caption, L"Velmora player");

    FakePlayer second;
    second.answer(RM_GET_VOLUME, 41);
    EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 41);
}

// Two instances on two threads asking one player for texts and playlists at once each
// read their own replies from its one title.
TEST(SideBySide, TwoThreadsReadTheirOwnTextsAndEntries) {
    struct Text {
        const wchar_t* name;
        UINT message;
    };
    static constexpr Text kTexts[] = {{L"title", RM_TEXT_TITLE}, {L"artist", RM_TEXT_ARTIST},
                                      {L"album", RM_TEXT_ALBUM}, {L"genre", RM_TEXT_GENRE},
                                      {L"year", RM_TEXT_YEAR},   {L"tracknum", RM_TEXT_TRACKNUM}};
    FakePlayer fake;
    for (const Text& text : kTexts)
        fake.answerText(text.message, 1, text.name);
    fake.answer(RM_PLAYLIST_COUNT, 4);
    fake.answerWith(RM_PLAYLIST_ITEMTEXT, [](WPARAM i) { return Reply{1, L"entry " + std::to_wstring(i)}; });

    // An empty reply did not arrive (a loaded machine may keep the player waiting); any
    // other text than the one asked for is another request's.
    const auto host = [&](int offset, bool playlists, Replies& replies) {
        Instance instance;
        for (int i = 0; i < 1500; ++i) {
            if (playlists && i % 10 == 0) {
                PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
                for (int e = 0; items != nullptr && e < 4; ++e)
                    replies.add(items[e].text, L"entry " + std::to_wstring(e));
                plugin().freeMenu(instance, L"*playlist", items);
                continue;
            }
            const Text& text = kTexts[(i + offset) % std::size(kTexts)];
            wchar_t reply[32] = L"";
            plugin().getText(instance, text.name, reply, 32);
            replies.add(reply, text.name);
        }
    };
    Replies first, second;
    std::thread firstHost([&] { host(0, false, first); });
    std::thread secondHost([&] { host(3, true, second); });
    firstHost.join();
    secondHost.join();
    EXPECT_EQ(first.crossed, 0);
    EXPECT_EQ(second.crossed, 0);
    EXPECT_LT(first.missing + second.missing, 1500); // most arrived: the turns were taken
}

// A silence met by one thread lifts for every thread once the player has caught up,
// whether that thread ended or lives on waiting for its next job, taking no messages.
TEST(HostRefresh, ASilenceMetByAnotherThreadLiftsForEveryThreadOnceThePlayerCaughtUp) {
    for (const bool workerLivesOn : {false, true}) {
        SCOPED_TRACE(workerLivesOn ? "the worker waits on an event" : "the worker ended");
        FakePlayer fake;
        fake.answer(RM_GET_VOLUME, 40);
        fake.delayOn(RM_GET_VOLUME, 1300);
        const HANDLE nextJob = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        const HANDLE met = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        std::thread worker([&] {
            Instance instance;
            EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0);
            SetEvent(met);
            if (workerLivesOn)
                WaitForSingleObject(nextJob, INFINITE);
        });
        WaitForSingleObject(met, INFINITE);
        if (!workerLivesOn)
            worker.join();
        fake.delayOn(RM_GET_VOLUME, 0);
        fake.messages(); // caught up
        const ULONGLONG caughtUp = GetTickCount64();
        Instance instance;
        EXPECT_TRUE(waitUntil([&] { return plugin().getProp(instance, L"volume", 5) == 40; }, 5000));
        EXPECT_LT(GetTickCount64() - caughtUp, 3000u);
        SetEvent(nextJob);
        if (worker.joinable())
            worker.join();
        CloseHandle(nextJob);
        CloseHandle(met);
    }
}

// A host window procedure that runs during a call and asks for another text, and a
// player window of the host's own thread that calls the plug-in while it answers: each
// request reads its own reply, or none, never the other's.
TEST(SideBySide, ANestedRequestReadsItsOwnReplyOrNone) {
    FakePlayer fake;
    fake.answerText(RM_TEXT_TITLE, 1, L"Song A");
    fake.answerText(RM_TEXT_ARTIST, 1, L"Band B");
    fake.delayOn(RM_TEXT_TITLE, 100); // the request waits, and the host's messages could run
    Instance instance;
    std::wstring nested = L"untouched";
    tools::HostWindow host([&] { nested = text(instance, L"artist"); });
    host.queueFromAnotherThread();
    EXPECT_EQ(text(instance, L"title"), L"Song A");
    host.runQueued();
    EXPECT_EQ(nested, L"Band B");

    // The player's window on this thread is called directly, and calls the plug-in.
    fake.delayOn(RM_TEXT_TITLE, 0);
    nested = L"untouched";
    InThreadPlayer own([&](HWND window, UINT message) {
        if (message == RM_TEXT_TITLE) {
            SetWindowTextW(window, L"Song A");
            nested = text(instance, L"artist");
            return 1;
        }
        SetWindowTextW(window, L"Band B");
        return 1;
    });
    ASSERT_EQ(FindWindowW(protocol::kWindowClass, nullptr), own.window());
    EXPECT_EQ(text(instance, L"title"), L"Song A");
    EXPECT_TRUE(nested == L"untouched" || nested == L"Band B") << narrow(nested);
}

// After a silence the first answer makes the player an answering one again: a
// recovered player's slow answer (0.4 s, a long list) is waited for as before.
TEST(HostRefresh, ARecoveredPlayerIsWaitedForAsBefore) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 40);
    fake.hangOn(RM_GET_VOLUME);
    Instance instance;
    EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0);
    fake.release();
    fake.messages(); // it has handled the request
    fake.delayOn(RM_GET_VOLUME, 400);
    LibraryClock clock;
    clock.ahead(10'000);                                      // the silence long paid back
    EXPECT_EQ(plugin().getProp(instance, L"volume", 3), 100); // the trial, answered at once
    EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 40);
}

// Two silent windows at once (an old player still closing while the next one starts)
// are both remembered: when the newer goes, the older is asked one brief question at most.
TEST(HostRefresh, TwoSilentWindowsAreBothRemembered) {
    FakePlayer older;
    older.answer(RM_GET_VOLUME, 40);
    older.hangOn(RM_GET_VOLUME);
    Instance instance;
    EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0);
    {
        FakePlayer newer;
        ASSERT_EQ(FindWindowW(protocol::kWindowClass, nullptr), newer.window());
        newer.hangOn(RM_GET_VOLUME);
        EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0);
        newer.release();
    }
    EXPECT_LT(timed([&] { EXPECT_EQ(plugin().getProp(instance, L"volume", 5), 0); }), kLaterBurstLimit);
    older.release();
    EXPECT_LE(older.messages().size(), 2u);
}

// A host may unload the library at any time, even with a message left unanswered in a
// hung player's queue: nothing of the library is called back, so FreeLibrary unloads it
// at once, and load after load leaves no handle and no thread slot behind.
TEST(Unloading, TwoThousandCyclesWithAHungPlayerUnloadAtOnceAndLeaveNothing) {
    const std::wstring copy = besideProgram(L"player-cycles.dll"); // a module of its own
    ASSERT_TRUE(CopyFileW(besideProgram(L"player.dll").c_str(), copy.c_str(), FALSE));
    FakePlayer fake;
    fake.answerText(RM_TEXT_TITLE, 1, L"The title");
    fake.hangOn(RM_TEXT_TITLE);
    const auto handles = [] {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return count;
    };
    const auto freeSlot = [] { // the lowest free thread slot: higher once one leaks
        const DWORD slot = TlsAlloc();
        TlsFree(slot);
        return slot;
    };
    const auto cycle = [&copy] {
        tools::PluginLibrary library;
        std::wstring error;
        EXPECT_TRUE(tools::loadPlugin(copy, library, error));
        PlayerInstance* instance = library.InitPlayer(L"");
        wchar_t title[32] = L"";
        library.getText(instance, L"title", title, 32);
        library.DestroyPlayer(instance);
        return std::wstring(title);
    };
    const DWORD before = handles();
    const DWORD slot = freeSlot();
    EXPECT_EQ(cycle(), L""); // the request stays in the hung player's queue
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr);
    // Once Windows counts the player hung, every send is refused at once.
    ASSERT_TRUE(waitUntil([&] { return IsHungAppWindow(fake.window()) != FALSE; }, 10'000));
    for (int i = 0; i < 2000; ++i)
        cycle();
    EXPECT_EQ(GetModuleHandleW(copy.c_str()), nullptr);
    EXPECT_EQ(handles(), before);
    EXPECT_EQ(freeSlot(), slot);

    fake.release();
    fake.messages(); // its late answer goes to no one
    EXPECT_EQ(cycle(), L"The title");
    EXPECT_EQ(handles(), before);
    DeleteFileW(copy.c_str());
}

} // namespace
