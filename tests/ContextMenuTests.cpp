// queryCtxMenu and invokeCtxMenu against a real host menu and the fake player.
#include "FakePlayer.h"
#include "InstanceRecord.h"
#include "HostMenu.h"
#include "ImportPatch.h"
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

constexpr UINT kFirstId = 100;

class ContextMenu : public testing::Test {
protected:
    ~ContextMenu() override { DestroyMenu(menu); }

    HMENU menu = hostMenu();
    Instance instance;
};

// The host's own items B and C, which stood at position 1 and after, moved down by `shift`.
void expectHostItemsMovedDown(const std::vector<MenuEntry>& entries, std::size_t shift) {
    ASSERT_EQ(entries.size(), 3 + shift);
    EXPECT_EQ(entries[0].text, L"Host A");
    EXPECT_EQ(entries[1 + shift].text, L"Host B");
    EXPECT_EQ(entries[1 + shift].id, 2u);
    EXPECT_EQ(entries[2 + shift].text, L"Host C");
}

TEST_F(ContextMenu, PlayerAbsentOffersToRunIt) {
    EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 1, kFirstId), 1);
    const auto entries = readMenu(menu);
    expectHostItemsMovedDown(entries, 1);
    EXPECT_EQ(entries[1].text, L"Run default player");
    EXPECT_EQ(entries[1].id, kFirstId + 1);
    EXPECT_FALSE(entries[1].checked());
    EXPECT_EQ(entries[1].type, static_cast<UINT>(MFT_STRING));
}

TEST_F(ContextMenu, PlayerWithoutRatingsShowsItsToggles) {
    struct Case {
        LRESULT repeat;
        LRESULT shuffle;
    };
    for (const Case c : {Case{1, 0}, Case{0, 1}, Case{0, 0}, Case{-1, 5}}) {
        SCOPED_TRACE(testing::Message() << "repeat " << c.repeat << " shuffle " << c.shuffle);
        FakePlayer fake;
        fake.answer(RM_STATE_REPEAT, c.repeat);
        fake.answer(RM_STATE_SHUFFLE, c.shuffle);
        fake.answer(RM_IS_SUPPORTED, 0);
        fake.answer(RM_GET_RATING, 3);
        HMENU fresh = hostMenu();
        EXPECT_EQ(plugin().queryCtxMenu(instance, fresh, 1, kFirstId), 4);
        const auto entries = readMenu(fresh);
        expectHostItemsMovedDown(entries, 4);
        EXPECT_EQ(entries[1].text, L"Close player");
        EXPECT_EQ(entries[1].id, kFirstId + 2);
        EXPECT_FALSE(entries[1].checked());
        EXPECT_TRUE(entries[2].separator());
        EXPECT_EQ(entries[3].text, L"Repeat");
        EXPECT_EQ(entries[3].id, kFirstId + 3);
        EXPECT_EQ(entries[3].checked(), c.repeat != 0);
        EXPECT_EQ(entries[4].text, L"Shuffle");
        EXPECT_EQ(entries[4].id, kFirstId + 4);
        EXPECT_EQ(entries[4].checked(), c.shuffle != 0);
        for (const MenuEntry& entry : entries)
            EXPECT_EQ(entry.submenu, nullptr);
        EXPECT_EQ(fake.messages(), (Messages{sent(RM_STATE_REPEAT), sent(RM_STATE_SHUFFLE),
                                             sent(RM_IS_SUPPORTED, RM_GET_RATING)}));
        DestroyMenu(fresh);
    }
}

TEST_F(ContextMenu, PlayerWithRatingsAddsTheRateSubmenu) {
    const wchar_t* texts[] = {L"1 Star", L"2 Stars", L"3 Stars", L"4 Stars", L"5 Stars", L"Unrated"};
    const UINT ids[] = {106, 107, 108, 109, 110, 105};
    const int stars[] = {1, 2, 3, 4, 5, 0};
    for (LRESULT rating : {0, 1, 3, 5, 6, -1}) {
        SCOPED_TRACE(testing::Message() << "rating " << rating);
        FakePlayer fake;
        fake.answer(RM_STATE_REPEAT, 0);
        fake.answer(RM_STATE_SHUFFLE, 1);
        fake.answer(RM_IS_SUPPORTED, 1);
        fake.answer(RM_GET_RATING, rating);
        HMENU fresh = hostMenu();
        EXPECT_EQ(plugin().queryCtxMenu(instance, fresh, 1, kFirstId), 11);
        const auto entries = readMenu(fresh);
        expectHostItemsMovedDown(entries, 5);
        EXPECT_EQ(entries[5].text, L"Rate");
        ASSERT_NE(entries[5].submenu, nullptr);
        const auto submenu = readMenu(entries[5].submenu);
        ASSERT_EQ(submenu.size(), 6u);
        int marks = 0;
        for (std::size_t i = 0; i < 6; ++i) {
            EXPECT_EQ(submenu[i].text, texts[i]);
            EXPECT_EQ(submenu[i].id, ids[i]);
            EXPECT_TRUE(submenu[i].radio());
            EXPECT_EQ(submenu[i].checked(), stars[i] == rating);
            marks += submenu[i].checked();
        }
        EXPECT_EQ(marks, rating >= 0 && rating <= 5 ? 1 : 0);
        Messages expected{sent(RM_STATE_REPEAT), sent(RM_STATE_SHUFFLE),
                          sent(RM_IS_SUPPORTED, RM_GET_RATING)};
        expected.insert(expected.end(), 6, sent(RM_GET_RATING));
        EXPECT_EQ(fake.messages(), expected);
        DestroyMenu(fresh);
    }
}

TEST_F(ContextMenu, ItemsGoWhereTheHostSays) {
    FakePlayer fake;
    fake.answer(RM_IS_SUPPORTED, 1);
    EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 0, 5000), 11);
    const auto entries = readMenu(menu);
    ASSERT_EQ(entries.size(), 8u);
    EXPECT_EQ(entries[0].text, L"Close player");
    EXPECT_EQ(entries[0].id, 5002u);
    EXPECT_EQ(entries[4].text, L"Rate");
    EXPECT_EQ(entries[5].text, L"Host A");
    EXPECT_EQ(entries[7].text, L"Host C");
}

TEST_F(ContextMenu, PlayerVanishingWhileBuildingLeavesTheRestUnmarked) {
    FakePlayer fake;
    fake.answer(RM_STATE_REPEAT, 1);
    fake.answer(RM_STATE_SHUFFLE, 1);
    fake.answer(RM_IS_SUPPORTED, 1);
    fake.vanishOn(RM_STATE_REPEAT);
    EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 1, kFirstId), 4);
    const auto entries = readMenu(menu);
    expectHostItemsMovedDown(entries, 4);
    EXPECT_FALSE(entries[3].checked());
    EXPECT_FALSE(entries[4].checked());
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_STATE_REPEAT)}));
}

TEST_F(ContextMenu, HungPlayerCostsOneBoundOnly) {
    FakePlayer fake;
    fake.answer(RM_IS_SUPPORTED, 1);
    fake.hangOn(RM_STATE_SHUFFLE);
    const ULONGLONG start = GetTickCount64();
    EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 1, kFirstId), 4);
    EXPECT_LT(GetTickCount64() - start, 1500u);
    fake.release();
    EXPECT_EQ(fake.messages(), (Messages{sent(RM_STATE_REPEAT), sent(RM_STATE_SHUFFLE)}));
}

TEST_F(ContextMenu, UnansweredRatingMarksNoRatingItem) {
    FakePlayer fake;
    fake.answer(RM_IS_SUPPORTED, 1);
    fake.hangOn(RM_GET_RATING); // the rating is unknown, not 0
    EXPECT_EQ(plugin().queryCtxMenu(instance, menu, 1, kFirstId), 11);
    fake.release();
    const auto entries = readMenu(menu);
    const HMENU rate = entries[5].submenu;
    ASSERT_NE(rate, nullptr);
    for (const auto& item : readMenu(rate))
        EXPECT_FALSE(item.checked()) << narrow(item.text);
}

HMENU lastMadeMenu = nullptr;
HMENU WINAPI recordedPopupMenu() {
    return lastMadeMenu = CreatePopupMenu();
}

// A host menu that is gone takes no item: the Rate submenu, which no menu took, is
// destroyed with the call, and the result is still the path's.
TEST(ContextMenuGone, TheSubmenuNoMenuTookIsDestroyed) {
    FakePlayer fake;
    fake.answer(RM_IS_SUPPORTED, 1);
    Instance instance;
    const HMENU gone = CreatePopupMenu();
    DestroyMenu(gone);
    void* real = tools::patchImport(plugin().module.get(), "CreatePopupMenu",
                                    reinterpret_cast<void*>(&recordedPopupMenu));
    EXPECT_EQ(plugin().queryCtxMenu(instance, gone, 0, kFirstId), 11);
    tools::patchImport(plugin().module.get(), "CreatePopupMenu", real);
    ASSERT_NE(lastMadeMenu, nullptr);
    EXPECT_FALSE(IsMenu(lastMadeMenu));
}

TEST(InvokeContextItem, CarriesOutTheItemsCommand) {
    const UINT messages[] = {RM_QUIT,  RM_REPEAT, RM_SHUFFLE, RM_RATE0, RM_RATE1,
                             RM_RATE2, RM_RATE3,  RM_RATE4,   RM_RATE5};
    FakePlayer fake;
    Instance instance(besideProgram(L"launch-recorder.exe").c_str());
    for (int item = 2; item <= 10; ++item) {
        SCOPED_TRACE(item);
        fake.clearMessages();
        plugin().invokeCtxMenu(instance, item);
        EXPECT_EQ(fake.messages(), (Messages{posted(messages[item - 2], 0)}));
    }
    fake.clearMessages();
    for (int item : {0, 1, 11, -1, INT_MIN, INT_MAX})
        plugin().invokeCtxMenu(instance, item);
    EXPECT_TRUE(fake.messages().empty());
    EXPECT_EQ(record(instance).lastLaunch, 0); // item 1 does nothing while the player runs
}

TEST(InvokeContextItem, RunDefaultPlayerStartsItWhenAbsent) {
    Instance instance(besideProgram(L"launch-recorder.exe").c_str());
    for (int item = 2; item <= 10; ++item)
        plugin().invokeCtxMenu(instance, item);
    EXPECT_EQ(record(instance).lastLaunch, 0);
    plugin().invokeCtxMenu(instance, 1);
    EXPECT_NE(record(instance).lastLaunch, 0);
}

} // namespace
