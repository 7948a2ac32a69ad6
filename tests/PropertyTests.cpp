// getProp: "needsave", scrolling, support, the range controls and kind 6.
#include "FakePlayer.h"
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

TEST(NeedSave, AbsentPlayerAnswersZeroAndKeepsTheFlag) {
    Instance instance;
    plugin().sendCmd(instance, L"album", 0);
    EXPECT_EQ(plugin().getProp(instance, L"needsave", 0), 0);
    EXPECT_EQ(plugin().getProp(instance, L"needsave", 1), 0);

    FakePlayer fake;
    EXPECT_EQ(plugin().getProp(instance, L"needsave", 0), 1);
    EXPECT_EQ(plugin().getProp(instance, L"needsave", 0), 0);
    EXPECT_TRUE(fake.messages().empty());
}

TEST(NeedSave, AnsweredOnceForAnyKind) {
    FakePlayer fake;
    Instance instance;
    EXPECT_EQ(plugin().getProp(instance, L"needsave", 3), 0);
    for (int kind : {0, 1, 2, 3, 5, 6, 7, 99, -1, INT_MIN}) {
        SCOPED_TRACE(kind);
        plugin().sendCmd(instance, L"trackname", 0);
        EXPECT_EQ(plugin().getProp(instance, kind % 2 ? L"NEEDSAVE" : L"needsave", kind), 1);
        EXPECT_EQ(plugin().getProp(instance, L"needsave", kind), 0);
    }
    EXPECT_TRUE(fake.messages().empty());
}

TEST(Kinds, OutsideOneToSixAnswerZeroAndSendNothing) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_TRACKLENGTH, 100);
    fake.answer(RM_IS_SUPPORTED, 0);
    Instance instance;
    for (int kind : {0, 7, -1, 99, INT_MIN, INT_MAX})
        for (const wchar_t* name : {L"volume", L"tracktime", L"title", L"next", L"*playlist", L"anything"})
            EXPECT_EQ(plugin().getProp(instance, name, kind), 0) << narrow(name) << " kind " << kind;
    EXPECT_TRUE(fake.messages().empty());
}

TEST(Kinds, EveryAnswerIsZeroWithThePlayerAbsent) {
    Instance instance;
    for (int kind = -1; kind <= 7; ++kind)
        for (const wchar_t* name : {L"volume", L"tracktime", L"title", L"next", L"*playlist", L"anything"})
            EXPECT_EQ(plugin().getProp(instance, name, kind), 0) << narrow(name) << " kind " << kind;
}

TEST(Scrolling, AnswersTheStoredSetting) {
    FakePlayer fake;
    Instance instance;
    for (const wchar_t* name : {L"title", L"album", L"artist", L"trackname"}) {
        SCOPED_TRACE(narrow(name));
        EXPECT_EQ(plugin().getProp(instance, name, 1), 1);
        plugin().sendCmd(instance, name, 0);
        EXPECT_EQ(plugin().getProp(instance, name, 1), 0);
    }
    PlayerParam restored{L"scrollTitle", 0, {}, 7};
    plugin().setPlayerParams(instance, &restored, 1);
    EXPECT_EQ(plugin().getProp(instance, L"Title", 1), 7);
    for (const wchar_t* name : {L"genre", L"volume", L"tracktime", L"scrollTitle"})
        EXPECT_EQ(plugin().getProp(instance, name, 1), 0) << narrow(name);
    EXPECT_TRUE(fake.messages().empty());
}

TEST(Support, InvertsTheAnswerForEveryControl) {
    struct Control {
        const wchar_t* name;
        UINT message;
    };
    const Control controls[] = {
        {L"playpause", RM_PLAYPAUSE}, {L"play", RM_PLAY},
        {L"pause", RM_PAUSE},         {L"stop", RM_STOP},
        {L"next", RM_NEXT},           {L"prev", RM_PREV},
        {L"mute", RM_MUTE},           {L"quit", RM_QUIT},
        {L"shuffle", RM_SHUFFLE},     {L"repeat", RM_REPEAT},
        {L"eject", RM_EJECT},         {L"volume", RM_SETVOLUME},
        {L"tracktime", RM_SEEK},      {L"*PlayList", RM_PLAYLIST_COUNT},
    };
    FakePlayer fake;
    Instance instance;
    for (const Control& control : controls) {
        for (LRESULT answer : {LRESULT{0}, LRESULT{1}, LRESULT{-1}}) {
            SCOPED_TRACE(testing::Message() << narrow(control.name) << " answered " << answer);
            fake.answer(RM_IS_SUPPORTED, answer);
            fake.clearMessages();
            EXPECT_EQ(plugin().getProp(instance, control.name, 2), answer == 0 ? 1 : 0);
            EXPECT_EQ(fake.messages(), (Messages{sent(RM_IS_SUPPORTED, control.message)}));
        }
    }
}

TEST(Support, NamesOutsideTheTableAnswerZeroAndSendNothing) {
    FakePlayer fake;
    fake.answer(RM_IS_SUPPORTED, 0);
    Instance instance;
    for (const wchar_t* name : {L"rating1", L"playlist", L"title", L"volumeup", L""})
        EXPECT_EQ(plugin().getProp(instance, name, 2), 0) << narrow(name);
    EXPECT_TRUE(fake.messages().empty());
}

TEST(Ranges, BoundsAndCurrentValues) {
    struct Case {
        const wchar_t* name;
        int kind;
        UINT message; // 0: nothing sent
        int answer;
        int result;
    };
    const Case cases[] = {
        {L"volume", 3, RM_GET_MAXVOLUME, 255, 255},
        {L"volume", 3, RM_GET_MAXVOLUME, -1, -1}, // passed on unchanged
        {L"volume", 4, 0, 0, 0},
        {L"volume", 5, RM_GET_VOLUME, 80, 80},
        {L"VOLUME", 5, RM_GET_VOLUME, INT_MIN, INT_MIN},
        {L"tracktime", 3, RM_GET_TRACKLENGTH, 0, 1}, // no length: the range 1 to 1
        {L"tracktime", 3, RM_GET_TRACKLENGTH, 245, 246},
        {L"tracktime", 3, RM_GET_TRACKLENGTH, INT_MAX, INT_MAX}, // saturates instead of wrapping
        {L"tracktime", 4, 0, 0, 1},
        {L"tracktime", 5, RM_GET_POSITION, 0, 1},
        {L"TrackTime", 5, RM_GET_POSITION, 300, 301}, // past the end is passed on
        {L"tracktime", 5, RM_GET_POSITION, -1, 0},
        {L"tracktime", 5, RM_GET_POSITION, INT_MAX, INT_MAX},
        {L"title", 3, 0, 5, 0},
        {L"title", 4, 0, 5, 0},
        {L"title", 5, 0, 5, 0},
        {L"position", 5, 0, 5, 0},
    };
    FakePlayer fake;
    Instance instance;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << narrow(c.name) << " kind " << c.kind << " answer " << c.answer);
        for (UINT message : {1424u, 1425u, 1426u, 1427u})
            fake.answer(message, c.answer);
        fake.clearMessages();
        EXPECT_EQ(plugin().getProp(instance, c.name, c.kind), c.result);
        EXPECT_EQ(fake.messages(), c.message ? Messages{sent(c.message)} : Messages{});
    }
}

TEST(Ranges, TrackTimeReadAndWrittenBackSeeksToTheSamePosition) {
    FakePlayer fake;
    fake.answer(RM_GET_POSITION, 0);
    Instance instance;
    const int value = plugin().getProp(instance, L"tracktime", 5);
    plugin().sendCmd(instance, L"tracktime", value);
    fake.sync(); // a send from this thread would overtake the queued post
    fake.answer(RM_GET_POSITION, 95);
    plugin().sendCmd(instance, L"tracktime", plugin().getProp(instance, L"tracktime", 5));
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_GET_POSITION), posted(RM_SEEK, 0), sent(RM_GET_POSITION),
                                         posted(RM_SEEK, 95)}));
}

TEST(KindSix, AnswersOneForAnyNameWhileThePlayerRuns) {
    FakePlayer fake;
    Instance instance;
    for (const wchar_t* name : {L"volume", L"nothing at all", L"", L"title"})
        EXPECT_EQ(plugin().getProp(instance, name, 6), 1) << narrow(name);
    EXPECT_EQ(plugin().getProp(instance, nullptr, 6), 1);
    EXPECT_TRUE(fake.messages().empty());
}

TEST(HungPlayer, PropertyQueryAnswersZeroWithinTheBound) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.hangOn(RM_GET_MAXVOLUME);
    Instance instance;
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(plugin().getProp(instance, L"volume", 3), 0);
    EXPECT_LT(GetTickCount64() - start, 1500u);
    fake.release();
}

} // namespace
