// The library's boundary: naming, GetEXE, instances and the null instance.
#include "FakePlayer.h"
#include "Guarded.h"
#include "LibraryHeap.h"
#include "InstanceRecord.h"
#include "Plugin.h"
#include "Protocol.h"

#include <gtest/gtest.h>

using namespace testing_support;
using namespace protocol;

namespace {

constexpr HRESULT kCut = static_cast<HRESULT>(0x8007007A);
constexpr HRESULT kInvalid = static_cast<HRESULT>(0x80070057);

TEST(PlayerName, CopiesWithinCapacity) {
    struct Case {
        UINT capacity;
        HRESULT result;
        const wchar_t* text;
    };
    const Case cases[] = {
        {32, S_OK, L"Velmora Player"},
        {15, S_OK, L"Velmora Player"},
        {14, kCut, L"Velmora Playe"},
        {2, kCut, L"V"},
        {1, kCut, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacity);
        Guarded<32> buffer;
        EXPECT_EQ(plugin().GetPlayerName(buffer.data(), c.capacity), c.result);
        EXPECT_EQ(buffer.text(), c.text);
        // Nothing after the terminator, nothing outside the capacity.
        const std::size_t written = wcslen(c.text) + 1;
        for (std::size_t i = written; i < 32; ++i)
            EXPECT_EQ(buffer.unit(i), kFill) << "unit " << i;
        EXPECT_TRUE(buffer.guardsIntact());
    }
}

TEST(PlayerName, InvalidCapacityLeavesBufferUntouched) {
    for (UINT capacity : {0u, 0x80000000u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(capacity);
        Guarded<16> buffer;
        EXPECT_EQ(plugin().GetPlayerName(buffer.data(), capacity), kInvalid);
        EXPECT_TRUE(buffer.untouched());
    }
    EXPECT_EQ(plugin().GetPlayerName(nullptr, 16), kInvalid);
}

TEST(PlayerName, TheLargestValidCapacityCopies) {
    Guarded<16> buffer;
    EXPECT_EQ(plugin().GetPlayerName(buffer.data(), 0x7FFFFFFFu), S_OK);
    EXPECT_EQ(buffer.text(), L"Velmora Player");
    EXPECT_TRUE(buffer.guardsIntact()); // the copy ends at the name's terminator
}

// A negative capacity is a host's size above 2^31 - 1 passed as a signed number.
TEST(GetEXE, WritesOneTerminatorOnly) {
    for (int capacity : {1, 2, 260, -1, INT_MIN}) {
        SCOPED_TRACE(capacity);
        Guarded<8> buffer;
        EXPECT_EQ(plugin().GetEXE(buffer.data(), capacity), buffer.data());
        EXPECT_EQ(buffer.unit(0), L'\0');
        for (std::size_t i = 1; i < 8; ++i)
            EXPECT_EQ(buffer.unit(i), kFill);
        EXPECT_TRUE(buffer.guardsIntact());
    }
}

TEST(GetEXE, NoRoomWritesNothing) {
    Guarded<8> buffer;
    EXPECT_EQ(plugin().GetEXE(buffer.data(), 0), buffer.data());
    EXPECT_TRUE(buffer.untouched());
    EXPECT_EQ(plugin().GetEXE(nullptr, 10), nullptr);
}

TEST(Instance, StartsWithDefaultSettings) {
    Instance instance(L"C:\\player\\player.exe");
    const PlayerInstance& r = record(instance);
    EXPECT_EQ(r.lastLaunch, 0);
    EXPECT_EQ(r.scrollTitle, 1);
    EXPECT_EQ(r.scrollAlbum, 1);
    EXPECT_EQ(r.scrollArtist, 1);
    EXPECT_EQ(r.scrollTrackName, 1);
    EXPECT_EQ(r.trackTime, 1);
    EXPECT_EQ(r.volume, 255);
    EXPECT_EQ(r.needSave, 0);
    EXPECT_STREQ(r.exePath, L"C:\\player\\player.exe");
}

TEST(Instance, KeepsItsOwnPathCopy) {
    wchar_t hostPath[] = L"C:\\a\\player.exe";
    Instance instance(hostPath);
    hostPath[0] = L'D';
    EXPECT_STREQ(record(instance).exePath, L"C:\\a\\player.exe");
    EXPECT_NE(record(instance).exePath, hostPath);

    Instance empty(L"");
    ASSERT_NE(record(empty).exePath, nullptr);
    EXPECT_STREQ(record(empty).exePath, L"");

    Instance nullPath(nullptr);
    ASSERT_NE(nullPath.get(), nullptr);
    ASSERT_NE(record(nullPath).exePath, nullptr);
    EXPECT_STREQ(record(nullPath).exePath, L"");
}

TEST(Instance, TwoInstancesAreIndependent) {
    Instance first(L"C:\\one.exe");
    Instance second(L"C:\\two.exe");
    ASSERT_NE(first.get(), second.get());
    plugin().sendCmd(first, L"title", 0);
    plugin().sendCmd(second, L"album", 0);
    EXPECT_EQ(record(first).scrollTitle, 0);
    EXPECT_EQ(record(first).scrollAlbum, 1);
    EXPECT_EQ(record(second).scrollTitle, 1);
    EXPECT_EQ(record(second).scrollAlbum, 0);
    EXPECT_STREQ(record(first).exePath, L"C:\\one.exe");
    EXPECT_STREQ(record(second).exePath, L"C:\\two.exe");
}

// Where memory runs out: no instance, no list, and nothing left allocated.
TEST(OutOfMemory, NoInstanceNoListAndNothingLeftBehind) {
    for (const int first : {1, 2}) { // nothing is made; or the record is, and its copy of the path not
        LibraryHeap heap;
        heap.runOutAt(first);
        EXPECT_EQ(plugin().InitPlayer(L"C:\\player.exe"), nullptr);
        EXPECT_EQ(heap.allocations(), first - 1);
        EXPECT_EQ(heap.frees(), first - 1);
    }
    FakePlayer fake;
    fake.answer(RM_PLAYLIST_COUNT, 3);
    Instance instance;
    LibraryHeap heap;
    heap.runOutAt(1);
    EXPECT_EQ(plugin().queryMenu(instance, L"*playlist"), nullptr);
    EXPECT_EQ(heap.allocations(), 0);
}

// A host that passes no buffer gets nothing written and costs the player nothing.
TEST(NullBuffer, StateAndTextWriteNothingAndAskNothing) {
    FakePlayer fake;
    Instance instance;
    plugin().getState(instance, L"playpause", nullptr);
    plugin().getText(instance, L"title", nullptr, 16);
    EXPECT_TRUE(fake.messages().empty());
}

TEST(NullInstance, EveryExportDoesNothing) {
    FakePlayer fake;
    fake.answer(RM_IS_SUPPORTED, 1);
    fake.answer(RM_PLAYLIST_COUNT, 3);
    fake.answer(RM_STATE_PLAYPAUSE, 1);
    Guarded<16> buffer;
    plugin().sendCmd(nullptr, L"next", 0);
    plugin().sendCmd(nullptr, L"volumeup", 0);
    plugin().getState(nullptr, L"playpause", buffer.data());
    plugin().getText(nullptr, L"title", buffer.data(), buffer.size());
    plugin().getText(nullptr, L"tracktime", buffer.data(), buffer.size());
    EXPECT_EQ(plugin().getProp(nullptr, L"volume", 3), 0);
    EXPECT_EQ(plugin().getProp(nullptr, L"anything", 6), 0);
    HMENU menu = CreatePopupMenu();
    EXPECT_EQ(plugin().queryCtxMenu(nullptr, menu, 0, 100), 0);
    EXPECT_EQ(GetMenuItemCount(menu), 0);
    DestroyMenu(menu);
    plugin().invokeCtxMenu(nullptr, 2);
    EXPECT_EQ(plugin().queryMenu(nullptr, L"*playlist"), nullptr);
    plugin().invokeMenu(nullptr, L"*playlist", 1);
    PlayerParam params[6]{};
    EXPECT_EQ(plugin().getPlayerParams(nullptr, params), 0);
    EXPECT_EQ(plugin().getPlayerParams(nullptr, nullptr),
              6); // the count, to size an array before an instance
    plugin().setPlayerParams(nullptr, params, 6);
    plugin().DestroyPlayer(nullptr);
    EXPECT_TRUE(buffer.untouched());
    EXPECT_TRUE(fake.messages().empty());
}

} // namespace
