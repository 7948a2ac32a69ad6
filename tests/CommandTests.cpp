// sendCmd: table commands, display toggles, seeking and volume stepping.
#include "FakePlayer.h"
#include "InstanceRecord.h"
#include "Plugin.h"
#include "Protocol.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

using namespace testing_support;
using namespace protocol;
using Messages = std::vector<ReceivedMessage>;

namespace {

struct TableCommand {
    const wchar_t* name;
    UINT message;
};

constexpr TableCommand kTableCommands[] = {
    {L"playpause", RM_PLAYPAUSE}, {L"play", RM_PLAY},     {L"pause", RM_PAUSE},   {L"stop", RM_STOP},
    {L"next", RM_NEXT},           {L"prev", RM_PREV},     {L"mute", RM_MUTE},     {L"quit", RM_QUIT},
    {L"shuffle", RM_SHUFFLE},     {L"repeat", RM_REPEAT}, {L"eject", RM_EJECT},   {L"volume", RM_SETVOLUME},
    {L"rating0", RM_RATE0},       {L"rating1", RM_RATE1}, {L"rating2", RM_RATE2}, {L"rating3", RM_RATE3},
    {L"rating4", RM_RATE4},       {L"rating5", RM_RATE5},
};

// Nothing may reach the host's own thread queue: posting to a null window would.
bool hostQueueHasPlayerMessage() {
    MSG msg;
    return PeekMessageW(&msg, nullptr, WM_USER, WM_APP - 1, PM_REMOVE) != FALSE;
}

TEST(TableCommands, PostTheirMessageWithTheValue) {
    FakePlayer fake;
    Instance instance(L"C:\\never\\started.exe");
    for (const TableCommand& command : kTableCommands) {
        for (const std::wstring& name :
             {std::wstring(command.name), upper(command.name), mixed(command.name)}) {
            SCOPED_TRACE(testing::Message() << std::string(name.begin(), name.end()));
            fake.clearMessages();
            plugin().sendCmd(instance, name.c_str(), 7);
            plugin().sendCmd(instance, name.c_str(), -1);
            EXPECT_EQ(fake.messages(),
                      (Messages{posted(command.message, 7), posted(command.message, 0xFFFFFFFF)}));
        }
    }
    const PlayerInstance& r = record(instance);
    EXPECT_EQ(r.needSave, 0);
    EXPECT_EQ(r.lastLaunch, 0);
    EXPECT_EQ(r.scrollTitle + r.scrollAlbum + r.scrollArtist + r.scrollTrackName + r.trackTime, 5);
}

TEST(TableCommands, VolumePassesTheValueWithoutAsking) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    Instance instance;
    plugin().sendCmd(instance, L"volume", 300);
    EXPECT_EQ(fake.messages(), (Messages{posted(RM_SETVOLUME, 300)}));
}

TEST(TableCommands, NothingWithThePlayerAbsent) {
    Instance instance;
    for (const TableCommand& command : kTableCommands)
        plugin().sendCmd(instance, command.name, 1);
    EXPECT_FALSE(hostQueueHasPlayerMessage());
    EXPECT_EQ(record(instance).lastLaunch, 0); // empty path: nothing to start
}

TEST(UnknownCommands, DoNothing) {
    FakePlayer fake;
    Instance instance;
    for (const wchar_t* name : {L"", L"nope", L"rating6", L"play ", L"volumeupp", L"seek", L"*playlist"})
        plugin().sendCmd(instance, name, 1);
    plugin().sendCmd(instance, nullptr, 1);
    EXPECT_TRUE(fake.messages().empty());
    EXPECT_EQ(record(instance).needSave, 0);
}

TEST(DisplayToggles, FlipTheirSettingWithOrWithoutThePlayer) {
    struct Toggle {
        const wchar_t* name;
        std::int32_t PlayerInstance::*setting;
    };
    const Toggle toggles[] = {
        {L"title", &PlayerInstance::scrollTitle},   {L"album", &PlayerInstance::scrollAlbum},
        {L"artist", &PlayerInstance::scrollArtist}, {L"trackname", &PlayerInstance::scrollTrackName},
        {L"tracktime", &PlayerInstance::trackTime},
    };
    for (bool present : {false, true}) {
        for (const Toggle& toggle : toggles) {
            SCOPED_TRACE(testing::Message() << (present ? "present " : "absent ")
                                            << std::string(toggle.name, toggle.name + wcslen(toggle.name)));
            std::optional<FakePlayer> fake;
            if (present)
                fake.emplace();
            Instance instance;
            PlayerInstance& r = *instance.get();
            plugin().sendCmd(instance, toggle.name, 0);
            EXPECT_EQ(r.*toggle.setting, 0);
            EXPECT_EQ(r.needSave, 1);
            plugin().sendCmd(instance, upper(toggle.name).c_str(), 0);
            EXPECT_EQ(r.*toggle.setting, 1);
            EXPECT_EQ(r.needSave, 1);
            r.*toggle.setting = 5; // any nonzero value counts as on
            plugin().sendCmd(instance, toggle.name, 0);
            EXPECT_EQ(r.*toggle.setting, 0);
            EXPECT_EQ(r.scrollTitle + r.scrollAlbum + r.scrollArtist + r.scrollTrackName + r.trackTime, 4);
            if (fake) {
                EXPECT_TRUE(fake->messages().empty());
            }
            EXPECT_FALSE(hostQueueHasPlayerMessage());
        }
    }
}

TEST(DisplayToggles, IgnoreTheValueButTrackTimeSeeks) {
    FakePlayer fake;
    Instance instance;
    plugin().sendCmd(instance, L"title", 42);
    EXPECT_EQ(record(instance).scrollTitle, 0);
    EXPECT_TRUE(fake.messages().empty());
    plugin().sendCmd(instance, L"tracktime", 42);
    EXPECT_EQ(record(instance).trackTime, 1);
    EXPECT_EQ(fake.messages(), (Messages{posted(RM_SEEK, 41)}));
}

TEST(Seeking, PostsPositionMinusOne) {
    struct Case {
        int value;
        WPARAM position;
    };
    const Case cases[] = {
        {1, 0}, {61, 60}, {2, 1}, {-1, 0xFFFFFFFE}, {INT_MAX, 0x7FFFFFFE}, {INT_MIN, 0x7FFFFFFF}};
    FakePlayer fake;
    Instance instance;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        fake.clearMessages();
        plugin().sendCmd(instance, L"TrackTime", c.value);
        EXPECT_EQ(fake.messages(), (Messages{posted(RM_SEEK, c.position)}));
    }
    EXPECT_EQ(record(instance).trackTime, 1);
    EXPECT_EQ(record(instance).needSave, 0);
}

TEST(Seeking, NothingWithThePlayerAbsent) {
    Instance instance;
    plugin().sendCmd(instance, L"tracktime", 61);
    EXPECT_FALSE(hostQueueHasPlayerMessage());
    EXPECT_EQ(record(instance).trackTime, 1);
    EXPECT_EQ(record(instance).needSave, 0);
}

TEST(VolumeStep, AsksMaximumThenCurrentThenPosts) {
    struct Case {
        const wchar_t* name;
        int max;
        int current;
        WPARAM posted;
    };
    const Case cases[] = {
        {L"volumeup", 100, 95, 100},
        {L"volumeup", 100, 100, 100},
        {L"volumeup", 255, 250, 255},
        {L"volumeup", 255, 100, 125}, // a tenth of 255 is 25, truncated
        {L"volumedown", 255, 100, 75},
        {L"volumeup", 5, 2, 3}, // 5 / 10 = 0: step 1
        {L"volumeup", 9, 3, 4},
        {L"volumeup", 0, 0, 0}, // step 1, capped at the maximum 0
        {L"volumedown", 100, 5, 0},
        {L"volumedown", 100, 50, 40},
        {L"volumedown", 5, 3, 2},
        {L"volumedown", 100, 250, 240},      // down has no upper bound
        {L"volumeup", 100, -50, 0xFFFFFFD8}, // up has no lower bound; -40 as a 32-bit value
        // Whatever the player answers, the result stays a 32-bit number.
        {L"volumeup", INT_MAX, INT_MAX, 0x7FFFFFFF},
        {L"volumeup", INT_MAX, INT_MAX - 5, 0x7FFFFFFF},
        {L"volumeup", -100, INT_MIN, 0x80000000},
        {L"volumedown", -100, INT_MAX, 0x7FFFFFFF},
        {L"volumedown", INT_MAX, INT_MIN, 0},
        {L"volumedown", INT_MIN, 0, 0x0CCCCCCC},
    };
    FakePlayer fake;
    Instance instance;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << (c.name[6] == L'u' ? "up" : "down") << " max " << c.max << " current " << c.current);
        fake.answer(RM_GET_MAXVOLUME, c.max);
        fake.answer(RM_GET_VOLUME, c.current);
        fake.clearMessages();
        plugin().sendCmd(instance, c.name, 0);
        EXPECT_EQ(fake.messages(),
                  (Messages{sent(RM_GET_MAXVOLUME), sent(RM_GET_VOLUME), posted(RM_SETVOLUME, c.posted)}));
    }
    EXPECT_EQ(record(instance).volume, 255); // the kept volume is the host's, not the player's
    EXPECT_EQ(record(instance).needSave, 0);
}

TEST(VolumeStep, NothingWithThePlayerAbsent) {
    Instance instance(besideProgram(L"launch-recorder.exe").c_str());
    plugin().sendCmd(instance, L"volumeup", 0);
    plugin().sendCmd(instance, L"volumedown", 0);
    EXPECT_FALSE(hostQueueHasPlayerMessage());
    EXPECT_EQ(record(instance).lastLaunch, 0); // never starts the player
}

TEST(HungPlayer, VolumeStepReturnsWithinTheBoundAndPostsNothing) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 50);
    fake.hangOn(RM_GET_MAXVOLUME);
    Instance instance;
    const ULONGLONG start = GetTickCount64();
    plugin().sendCmd(instance, L"volumeup", 0);
    const ULONGLONG elapsed = GetTickCount64() - start;
    EXPECT_GE(elapsed, 750u); // the 0.8 s a player may keep the plug-in waiting
    EXPECT_LT(elapsed, 1500u);
    fake.release();
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_GET_MAXVOLUME)}));
}

TEST(VanishingPlayer, VolumeStepStopsAtTheFirstSilence) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 50);
    fake.vanishOn(RM_GET_MAXVOLUME);
    Instance instance;
    plugin().sendCmd(instance, L"volumedown", 0);
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_GET_MAXVOLUME)}));
    EXPECT_FALSE(hostQueueHasPlayerMessage());
}

} // namespace
