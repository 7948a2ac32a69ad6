// getState and getText: states, text fields through the window title, the track
// time, the fixed texts, and the bounds of every write into the host's buffer.
#include "FakePlayer.h"
#include "Guarded.h"
#include "Plugin.h"
#include "Protocol.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

using namespace testing_support;
using namespace protocol;
using Messages = std::vector<ReceivedMessage>;

namespace {

struct StateCase {
    const wchar_t* name;
    UINT message;
    const wchar_t* whenNonzero;
    const wchar_t* whenZero;
};

constexpr StateCase kStates[] = {
    {L"playpause", RM_STATE_PLAYPAUSE, L"play", L"pause"}, {L"shuffle", RM_STATE_SHUFFLE, L"on", L"off"},
    {L"repeat", RM_STATE_REPEAT, L"on", L"off"},           {L"mute", RM_STATE_MUTE, L"on", L"off"},
    {L"rating1", RM_STATE_RATING1, L"on", L"off"},         {L"rating2", RM_STATE_RATING2, L"on", L"off"},
    {L"rating3", RM_STATE_RATING3, L"on", L"off"},         {L"rating4", RM_STATE_RATING4, L"on", L"off"},
    {L"rating5", RM_STATE_RATING5, L"on", L"off"},
};

struct TextCase {
    const wchar_t* name;
    UINT message;
};

constexpr TextCase kTexts[] = {
    {L"title", RM_TEXT_TITLE},         {L"album", RM_TEXT_ALBUM},           {L"artist", RM_TEXT_ARTIST},
    {L"trackname", RM_TEXT_TRACKNAME}, {L"genre", RM_TEXT_GENRE},           {L"year", RM_TEXT_YEAR},
    {L"tracknum", RM_TEXT_TRACKNUM},   {L"tipcaption", RM_TEXT_TIPCAPTION}, {L"tracklen", RM_TEXT_TRACKLEN},
};

TEST(States, ReportTheAnswerAsAWord) {
    FakePlayer fake;
    Instance instance;
    for (const StateCase& state : kStates) {
        for (LRESULT answer : {LRESULT{1}, LRESULT{-7}, LRESULT{0}}) {
            for (const std::wstring& name : {std::wstring(state.name), upper(state.name)}) {
                SCOPED_TRACE(testing::Message() << narrow(name.c_str()) << " answered " << answer);
                fake.answer(state.message, answer);
                fake.clearMessages();
                Guarded<6> buffer;
                plugin().getState(instance, name.c_str(), buffer.data());
                EXPECT_EQ(buffer.text(), answer != 0 ? state.whenNonzero : state.whenZero);
                EXPECT_TRUE(buffer.guardsIntact());
                EXPECT_EQ(fake.messages(), (Messages{sent(state.message)}));
            }
        }
    }
}

TEST(States, NothingForUnknownNames) {
    FakePlayer fake;
    fake.answer(RM_STATE_PLAYPAUSE, 1);
    Instance instance;
    for (const wchar_t* name : {L"rating0", L"title", L"", L"play", L"tracktime", L"rating6"}) {
        SCOPED_TRACE(narrow(name));
        Guarded<6> buffer;
        plugin().getState(instance, name, buffer.data());
        EXPECT_TRUE(buffer.untouched());
    }
    Guarded<6> buffer;
    plugin().getState(instance, nullptr, buffer.data());
    EXPECT_TRUE(buffer.untouched());
    EXPECT_TRUE(fake.messages().empty());
}

TEST(States, NothingWithThePlayerAbsent) {
    Instance instance;
    for (const StateCase& state : kStates) {
        Guarded<6> buffer;
        plugin().getState(instance, state.name, buffer.data());
        EXPECT_TRUE(buffer.untouched()) << narrow(state.name);
    }
}

TEST(Texts, ComeFromTheWindowTitleOnANonzeroAnswer) {
    FakePlayer fake;
    Instance instance;
    for (const TextCase& text : kTexts) {
        SCOPED_TRACE(narrow(text.name));
        fake.answerText(text.message, 1, L"Caf\u00e9 \U0001F3B5 " + std::wstring(text.name));
        fake.clearMessages();
        Guarded<64> buffer;
        plugin().getText(instance, upper(text.name).c_str(), buffer.data(), buffer.size());
        EXPECT_EQ(buffer.text(), L"Caf\u00e9 \U0001F3B5 " + std::wstring(text.name));
        EXPECT_TRUE(buffer.guardsIntact());
        EXPECT_EQ(fake.messages(), (Messages{sent(text.message)}));

        Guarded<5> small; // cut to size - 1 characters
        plugin().getText(instance, text.name, small.data(), small.size());
        EXPECT_EQ(small.text(), L"Caf\u00e9");
        EXPECT_TRUE(small.guardsIntact());
    }
}

TEST(Texts, ZeroAnswerGivesTheEmptyStringWhateverTheTitleHolds) {
    FakePlayer fake;
    fake.setTitle(L"An older text");
    Instance instance;
    for (const TextCase& text : kTexts) {
        SCOPED_TRACE(narrow(text.name));
        fake.answer(text.message, 0);
        Guarded<32> buffer;
        plugin().getText(instance, text.name, buffer.data(), buffer.size());
        EXPECT_EQ(buffer.unit(0), L'\0');
        EXPECT_EQ(buffer.unit(1), kFill);
        EXPECT_TRUE(buffer.guardsIntact());
    }
}

TEST(Texts, CutToSizeMinusOne) {
    FakePlayer fake;
    fake.answerText(RM_TEXT_TITLE, 1, L"A title longer than the buffer");
    Instance instance;
    Guarded<5> five;
    plugin().getText(instance, L"title", five.data(), five.size());
    EXPECT_EQ(five.text(), L"A ti");
    EXPECT_TRUE(five.guardsIntact());
    Guarded<1> one;
    plugin().getText(instance, L"title", one.data(), one.size());
    EXPECT_EQ(one.unit(0), L'\0');
    EXPECT_TRUE(one.guardsIntact());
}

TEST(Texts, TracklenIsThePlayersOwnText) {
    FakePlayer fake;
    fake.answerText(RM_TEXT_TRACKLEN, 1, L"3 min 20 s");
    fake.answer(RM_GET_TRACKLENGTH, 200);
    fake.answer(RM_GET_POSITION, 10);
    Instance instance;
    Guarded<32> buffer;
    plugin().getText(instance, L"tracklen", buffer.data(), buffer.size());
    EXPECT_EQ(buffer.text(), L"3 min 20 s");
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_TEXT_TRACKLEN)}));
}

TEST(Texts, TipcaptionFallsBackOnlyWhenThePlayerIsAbsent) {
    Instance instance;
    {
        Guarded<32> buffer;
        plugin().getText(instance, L"TipCaption", buffer.data(), buffer.size());
        EXPECT_EQ(buffer.text(), L"Velmora player");
    }
    FakePlayer fake;
    fake.answer(RM_TEXT_TIPCAPTION, 0);
    Guarded<32> buffer;
    plugin().getText(instance, L"tipcaption", buffer.data(), buffer.size());
    EXPECT_EQ(buffer.text(), L"");
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_TEXT_TIPCAPTION)}));
}

TEST(Texts, NothingForOtherNamesWithThePlayerAbsent) {
    Instance instance;
    for (const TextCase& text : kTexts) {
        if (std::wstring(text.name) == L"tipcaption")
            continue;
        Guarded<32> buffer;
        plugin().getText(instance, text.name, buffer.data(), buffer.size());
        EXPECT_TRUE(buffer.untouched()) << narrow(text.name);
    }
}

TEST(Texts, NothingForUnknownNames) {
    FakePlayer fake;
    Instance instance;
    for (const wchar_t* name : {L"playpause", L"", L"tracktim", L"rating1", L"needsave"}) {
        Guarded<32> buffer;
        plugin().getText(instance, name, buffer.data(), buffer.size());
        EXPECT_TRUE(buffer.untouched()) << narrow(name);
    }
    Guarded<32> buffer;
    plugin().getText(instance, nullptr, buffer.data(), buffer.size());
    EXPECT_TRUE(buffer.untouched());
    EXPECT_TRUE(fake.messages().empty());
}

TEST(TrackTime, FormatsRemainingOrElapsedTime) {
    struct Case {
        bool remaining;
        int length;
        int position;
        const wchar_t* text;
    };
    const Case cases[] = {
        {true, 245, 0, L"4:05"},
        {true, 200, 250, L"0:00"}, // past the end: no negative remaining time
        {true, 3725, 0, L"62:05"},
        {false, 245, 5, L"0:05"},
        {false, 245, 3725, L"62:05"}, // no hours field
        {false, 245, 0, L"0:00"},
        {false, 245, -5, L"0:-5"}, // the remainder keeps the sign
        {true, -60, 0, L"0:00"},   // a negative length is a length: no time is left of it
        {false, -60, 30, L"0:30"},
        // Computed wide: no overflow whatever the player answers.
        {true, INT_MAX, INT_MIN, L"71582788:15"},
        {false, 1, INT_MIN, L"-35791394:-8"},
        {false, 1, INT_MAX, L"35791394:07"},
    };
    FakePlayer fake;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.remaining ? "remaining" : "elapsed") << " length " << c.length
                                        << " position " << c.position);
        Instance instance;
        if (!c.remaining)
            plugin().sendCmd(instance, L"tracktime", 0);
        fake.answer(RM_GET_TRACKLENGTH, c.length);
        fake.answer(RM_GET_POSITION, c.position);
        fake.clearMessages();
        Guarded<16> buffer;
        plugin().getText(instance, L"TrackTime", buffer.data(), buffer.size());
        EXPECT_EQ(buffer.text(), c.text);
        EXPECT_TRUE(buffer.guardsIntact());
        EXPECT_EQ(fake.messages(), (Messages{sent(RM_GET_TRACKLENGTH), sent(RM_GET_POSITION)}));
    }
}

TEST(TrackTime, NoLengthGivesDashesWithoutAskingThePosition) {
    FakePlayer fake;
    fake.answer(RM_GET_TRACKLENGTH, 0);
    fake.answer(RM_GET_POSITION, 30);
    for (bool remaining : {true, false}) {
        Instance instance;
        if (!remaining)
            plugin().sendCmd(instance, L"tracktime", 0);
        fake.clearMessages();
        Guarded<16> buffer;
        plugin().getText(instance, L"tracktime", buffer.data(), buffer.size());
        EXPECT_EQ(buffer.text(), L"--:--");
        EXPECT_EQ(fake.messages(), (Messages{sent(RM_GET_TRACKLENGTH)}));
    }
}

TEST(TrackTime, DashesWithThePlayerAbsent) {
    Instance instance;
    Guarded<16> buffer;
    plugin().getText(instance, L"tracktime", buffer.data(), buffer.size());
    EXPECT_EQ(buffer.text(), L"--:--");
}

// Fixed and formatted texts are cut like the player's texts; nothing outside the buffer.
template <std::size_t N>
std::wstring textIn(PlayerInstance* instance, const wchar_t* name, bool& guardsIntact, bool& terminated) {
    Guarded<N> buffer;
    plugin().getText(instance, name, buffer.data(), buffer.size());
    guardsIntact = buffer.guardsIntact();
    terminated = false;
    for (std::size_t i = 0; i < N; ++i)
        terminated = terminated || buffer.unit(i) == L'\0';
    return buffer.text();
}

TEST(FixedTexts, CutToSmallBuffers) {
    struct Case {
        bool present;
        const wchar_t* name;
        const wchar_t* size1;
        const wchar_t* size3;
        const wchar_t* size5;
    };
    const Case cases[] = {
        {false, L"tracktime", L"", L"--", L"--:-"},
        {false, L"tipcaption", L"", L"Ve", L"Velm"},
        {true, L"tracktime", L"", L"4:", L"4:05"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << narrow(c.name) << (c.present ? " present" : " absent"));
        std::optional<FakePlayer> fake;
        if (c.present) {
            fake.emplace();
            fake->answer(RM_GET_TRACKLENGTH, 245);
            fake->answer(RM_GET_POSITION, 0);
        }
        Instance instance;
        bool guards = false, terminated = false;
        EXPECT_EQ(textIn<1>(instance, c.name, guards, terminated), c.size1);
        EXPECT_TRUE(guards && terminated);
        EXPECT_EQ(textIn<3>(instance, c.name, guards, terminated), c.size3);
        EXPECT_TRUE(guards && terminated);
        EXPECT_EQ(textIn<5>(instance, c.name, guards, terminated), c.size5);
        EXPECT_TRUE(guards && terminated);
    }
}

TEST(FixedTexts, NoRoomWritesNothing) {
    for (bool present : {false, true}) {
        std::optional<FakePlayer> fake;
        if (present) {
            fake.emplace();
            fake->answerText(RM_TEXT_TITLE, 1, L"Title");
            fake->answer(RM_GET_TRACKLENGTH, 245);
        }
        Instance instance;
        for (const wchar_t* name : {L"tracktime", L"tipcaption", L"title"}) {
            for (int size : {0, -1, INT_MIN}) {
                SCOPED_TRACE(testing::Message() << narrow(name) << " size " << size);
                Guarded<8> buffer;
                plugin().getText(instance, name, buffer.data(), size);
                EXPECT_TRUE(buffer.untouched());
            }
        }
    }
}

TEST(HungPlayer, TextQueryReturnsWithinTheBound) {
    FakePlayer fake;
    fake.setTitle(L"Stale title");
    fake.answerText(RM_TEXT_TITLE, 1, L"Fresh title");
    fake.hangOn(RM_TEXT_TITLE);
    Instance instance;
    Guarded<32> buffer;
    const ULONGLONG start = GetTickCount64();
    plugin().getText(instance, L"title", buffer.data(), buffer.size());
    EXPECT_LT(GetTickCount64() - start, 1500u);
    EXPECT_TRUE(buffer.untouched()); // a silent player gives no text, neither empty nor the stale title
    fake.release();
}

} // namespace
