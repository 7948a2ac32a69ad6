// Starting the player: "playpause" and "play" with its window absent start the
// executable at most once in 6 seconds per instance. launch-recorder stands in for
// the player and releases a named semaphore when it is started.
#include "FakePlayer.h"
#include "InstanceRecord.h"
#include "LibraryClock.h"
#include "Plugin.h"
#include "Process.h"
#include "Protocol.h"

#include <gtest/gtest.h>

#include <ctime>

using namespace testing_support;
using namespace protocol;

namespace {

class Launches : public testing::Test {
protected:
    Launches() : started_(CreateSemaphoreW(nullptr, 0, 100, L"player-tests-launch-recorder")) {}
    ~Launches() override { CloseHandle(started_); }

    // True when the recorder reported a start within the time given.
    bool startedWithin(DWORD milliseconds) {
        return WaitForSingleObject(started_, milliseconds) == WAIT_OBJECT_0;
    }

    const std::wstring recorder = besideProgram(L"launch-recorder.exe");

private:
    HANDLE started_;
};

constexpr DWORD kStartTime = 15000;

TEST_F(Launches, StartOnceThenNotAgainWithinSixSeconds) {
    Instance instance(recorder.c_str());
    const std::time_t before = std::time(nullptr);
    plugin().sendCmd(instance, L"play", 0);
    const std::time_t after = std::time(nullptr);
    ASSERT_TRUE(startedWithin(kStartTime));
    MSG msg; // the command itself goes nowhere: not even to this thread's queue
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_APP - 1, PM_REMOVE));
    EXPECT_GE(record(instance).lastLaunch, before);
    EXPECT_LE(record(instance).lastLaunch, after);
    const auto firstLaunch = record(instance).lastLaunch;

    plugin().sendCmd(instance, L"PlayPause", 0);
    plugin().sendCmd(instance, L"play", 0);
    EXPECT_EQ(record(instance).lastLaunch, firstLaunch);

    // The one real wait: no start may appear during it, and afterwards a start is due again.
    EXPECT_FALSE(startedWithin(6100));
    plugin().sendCmd(instance, L"playpause", 0);
    EXPECT_TRUE(startedWithin(kStartTime));
    EXPECT_GE(record(instance).lastLaunch, firstLaunch + 6);
}

// The guard counts whole seconds of the system clock, here one the test sets. Every start
// is recorded, one that failed too, and holds the next back until six seconds on.
TEST_F(Launches, TheGuardCountsFromEveryStartInWholeSeconds) {
    const std::wstring later = besideProgram(L"launch-later.exe");
    DeleteFileW(later.c_str());
    constexpr std::int64_t kStart = 1'800'000'000;
    LibraryClock clock;
    Instance instance(later.c_str());
    clock.unixTime(kStart);
    plugin().sendCmd(instance, L"play", 0); // no file at the path yet: the start fails
    EXPECT_EQ(record(instance).lastLaunch, kStart);

    ASSERT_TRUE(CopyFileW(recorder.c_str(), later.c_str(), FALSE));
    clock.unixTime(kStart + 5, 9'999'999); // 5.9999999 s on: held back, although the file is there now
    plugin().sendCmd(instance, L"play", 0);
    EXPECT_EQ(record(instance).lastLaunch, kStart);
    EXPECT_FALSE(startedWithin(300));

    clock.unixTime(kStart + 6);
    plugin().sendCmd(instance, L"playpause", 0);
    EXPECT_EQ(record(instance).lastLaunch, kStart + 6);
    EXPECT_TRUE(startedWithin(kStartTime));
    EXPECT_TRUE(waitUntil([&] { return DeleteFileW(later.c_str()) != FALSE; })); // once it has ended
}

TEST_F(Launches, EachInstanceHasItsOwnGuard) {
    Instance first(recorder.c_str());
    Instance second(recorder.c_str());
    plugin().sendCmd(first, L"play", 0);
    plugin().sendCmd(second, L"playpause", 0);
    EXPECT_TRUE(startedWithin(kStartTime));
    EXPECT_TRUE(startedWithin(kStartTime));
    EXPECT_NE(record(first).lastLaunch, 0);
    EXPECT_NE(record(second).lastLaunch, 0);
}

TEST_F(Launches, NeverWithAnEmptyPath) {
    Instance instance(L"");
    plugin().sendCmd(instance, L"play", 0);
    plugin().sendCmd(instance, L"playpause", 0);
    EXPECT_EQ(record(instance).lastLaunch,
              0); // nothing recorded, so a later path-less request is not held back
}

TEST_F(Launches, NotForOtherCommands) {
    Instance instance(recorder.c_str());
    for (const wchar_t* name :
         {L"pause", L"stop", L"next", L"quit", L"volumeup", L"volumedown", L"tracktime"})
        plugin().sendCmd(instance, name, 3);
    EXPECT_EQ(record(instance).lastLaunch, 0);
    EXPECT_FALSE(startedWithin(500));
}

TEST_F(Launches, NotWhileThePlayerRuns) {
    FakePlayer fake;
    Instance instance(recorder.c_str());
    plugin().sendCmd(instance, L"play", 0);
    plugin().sendCmd(instance, L"playpause", 0);
    EXPECT_EQ(fake.messages(), (std::vector<ReceivedMessage>{posted(RM_PLAY), posted(RM_PLAYPAUSE)}));
    EXPECT_EQ(record(instance).lastLaunch, 0);
    EXPECT_FALSE(startedWithin(500));
}

} // namespace
