// queryMenu, invokeMenu and freeMenu: the "*playlist" list and its record bytes.
#include "FakePlayer.h"
#include "Plugin.h"
#include "Protocol.h"
#include "Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <vector>

using namespace testing_support;
using namespace protocol;
using Messages = std::vector<ReceivedMessage>;

namespace {

// A fake player with a playlist whose entry i reads texts[i].
void scriptPlaylist(FakePlayer& fake, std::vector<std::wstring> texts, int current) {
    fake.answer(RM_PLAYLIST_COUNT, static_cast<LRESULT>(texts.size()));
    fake.answer(RM_PLAYLIST_CURRENT, current);
    fake.answerWith(RM_PLAYLIST_ITEMTEXT, [texts](WPARAM i) {
        return Reply{1, i < texts.size() ? texts[i] : std::wstring(L"?")};
    });
}

std::vector<unsigned char> recordBytes(const wchar_t* text, std::int32_t flags, std::int32_t id) {
    std::vector<unsigned char> bytes(532, 0);
    std::memcpy(bytes.data(), text, wcslen(text) * 2);
    std::memcpy(bytes.data() + 512, &flags, 4);
    std::memcpy(bytes.data() + 520, &id, 4);
    return bytes;
}

TEST(Playlist, ThreeEntriesWithTheCurrentMarked) {
    FakePlayer fake;
    scriptPlaylist(fake, {L"One", L"Tw\u00f6 \U0001F3B6", L"Three"}, 1);
    Instance instance;
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
    ASSERT_NE(items, nullptr);
    std::vector<unsigned char> expected;
    for (const auto& record : {recordBytes(L"One", 2, 1), recordBytes(L"Tw\u00f6 \U0001F3B6", 3, 2),
                               recordBytes(L"Three", 2, 3), recordBytes(L"", 0, 0)})
        expected.insert(expected.end(), record.begin(), record.end());
    const auto* bytes = reinterpret_cast<const unsigned char*>(items);
    EXPECT_EQ(std::vector<unsigned char>(bytes, bytes + 4 * 532), expected);
    EXPECT_EQ(fake.messages(),
              (Messages{sent(RM_PLAYLIST_COUNT), sent(RM_PLAYLIST_CURRENT), sent(RM_PLAYLIST_ITEMTEXT, 0),
                        sent(RM_PLAYLIST_ITEMTEXT, 1), sent(RM_PLAYLIST_ITEMTEXT, 2)}));
    plugin().freeMenu(instance, L"*playlist", items);
}

TEST(Playlist, LongEntryIsCutTo254Characters) {
    FakePlayer fake;
    std::wstring text;
    for (int i = 0; i < 300; ++i)
        text += static_cast<wchar_t>(L'a' + i % 26);
    scriptPlaylist(fake, {text}, 0);
    Instance instance;
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
    ASSERT_NE(items, nullptr);
    EXPECT_EQ(std::wstring(items[0].text), text.substr(0, 254));
    EXPECT_EQ(items[0].text[254], L'\0');
    EXPECT_EQ(items[0].text[255], L'\0');
    EXPECT_EQ(items[0].flags, 3);
    EXPECT_EQ(items[0].id, 1);
    plugin().freeMenu(instance, L"*playlist", items);
}

TEST(Playlist, CurrentIndexOutOfRangeMarksNothing) {
    FakePlayer fake;
    Instance instance;
    for (int current : {3, -1, 99, INT_MIN}) {
        SCOPED_TRACE(current);
        scriptPlaylist(fake, {L"a", L"b", L"c"}, current);
        PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
        ASSERT_NE(items, nullptr);
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(items[i].flags, 2);
        plugin().freeMenu(instance, L"*playlist", items);
    }
}

TEST(Playlist, NameMatchesWithoutCaseOnly) {
    FakePlayer fake;
    scriptPlaylist(fake, {L"a"}, 0);
    Instance instance;
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*PLAYLIST");
    ASSERT_NE(items, nullptr);
    plugin().freeMenu(instance, L"*PLAYLIST", items);
    fake.clearMessages();
    for (const wchar_t* name : {L"playlist", L"*playlists", L"", L"*", L"title"})
        EXPECT_EQ(plugin().queryMenu(instance, name), nullptr) << narrow(name);
    EXPECT_EQ(plugin().queryMenu(instance, nullptr), nullptr);
    EXPECT_TRUE(fake.messages().empty());
}

TEST(Playlist, NoListWithoutEntries) {
    FakePlayer fake;
    fake.answer(RM_PLAYLIST_CURRENT, 0);
    Instance instance;
    for (const LRESULT count : {LRESULT{0}, LRESULT{-5}, LRESULT{INT_MIN}}) {
        SCOPED_TRACE(count);
        fake.answer(RM_PLAYLIST_COUNT, count);
        fake.clearMessages();
        EXPECT_EQ(plugin().queryMenu(instance, L"*playlist"), nullptr);
        EXPECT_EQ(fake.messages(), (Messages{sent(RM_PLAYLIST_COUNT)}));
    }
}

// A longer list gives its first 65,536 entries with their own ids: an array of 35 MB
// however many the player names, the current entry marked when it is among them.
TEST(Playlist, LongListsEndAtTheBound) {
    struct Case {
        LRESULT count;
        LRESULT current;
    };
    const Case cases[] = {{65537, 5}, {4036623, 70000}, {0x7FFFFFFF, 65535}};
    Instance instance;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.count);
        FakePlayer fake;
        fake.answer(RM_PLAYLIST_COUNT, c.count);
        fake.answer(RM_PLAYLIST_CURRENT, c.current);
        fake.vanishOn(RM_PLAYLIST_ITEMTEXT); // no texts: only the records are looked at
        PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
        ASSERT_NE(items, nullptr);
        EXPECT_EQ(HeapSize(GetProcessHeap(), 0, items), SIZE_T{65537} * 532);
        for (const int i : {0, 5, 65534, 65535}) {
            EXPECT_EQ(items[i].id, i + 1) << i;
            EXPECT_EQ(items[i].flags, i == c.current ? 3 : 2) << i;
        }
        EXPECT_EQ(std::memcmp(&items[65536], recordBytes(L"", 0, 0).data(), 532), 0);
        plugin().freeMenu(instance, L"*playlist", items);
    }
}

TEST(Playlist, UnansweredCurrentIndexMarksNoEntry) {
    FakePlayer fake;
    scriptPlaylist(fake, {L"a", L"b", L"c"}, 0);
    fake.hangOn(RM_PLAYLIST_CURRENT);
    Instance instance;
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
    fake.release();
    ASSERT_NE(items, nullptr);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(items[i].flags, PLAYER_PLAYLIST_FLAG_ENTRY) << i;
    plugin().freeMenu(instance, L"*playlist", items);
}

TEST(Playlist, NoListWithThePlayerAbsent) {
    Instance instance;
    EXPECT_EQ(plugin().queryMenu(instance, L"*playlist"), nullptr);
}

TEST(Playlist, VanishingPlayerLeavesTheRestEmptyButTerminated) {
    FakePlayer fake;
    scriptPlaylist(fake, {L"a", L"b", L"c", L"d", L"e"}, 4);
    fake.vanishOn(RM_PLAYLIST_ITEMTEXT, 2);
    Instance instance;
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
    ASSERT_NE(items, nullptr);
    const wchar_t* texts[] = {L"a", L"b", L"", L"", L""};
    for (int i = 0; i < 5; ++i) {
        EXPECT_STREQ(items[i].text, texts[i]) << i;
        EXPECT_EQ(items[i].id, i + 1);
        EXPECT_EQ(items[i].flags, i == 4 ? 3 : 2);
    }
    EXPECT_EQ(std::memcmp(&items[5], recordBytes(L"", 0, 0).data(), 532), 0);
    plugin().freeMenu(instance, L"*playlist", items);
}

TEST(Playlist, HungPlayerCostsOneBoundOnly) {
    FakePlayer fake;
    std::vector<std::wstring> texts(50, L"entry");
    scriptPlaylist(fake, texts, 0);
    fake.hangOn(RM_PLAYLIST_ITEMTEXT, 1);
    Instance instance;
    const ULONGLONG start = GetTickCount64();
    PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
    EXPECT_LT(GetTickCount64() - start, 1500u);
    fake.release();
    ASSERT_NE(items, nullptr);
    EXPECT_STREQ(items[0].text, L"entry");
    EXPECT_STREQ(items[1].text, L"");
    EXPECT_STREQ(items[49].text, L"");
    EXPECT_EQ(items[49].id, 50);
    EXPECT_EQ(items[50].id, 0);
    plugin().freeMenu(instance, L"*playlist", items);
}

TEST(InvokeMenu, PlaysTheEntryBeforeTheId) {
    FakePlayer fake;
    Instance instance;
    plugin().invokeMenu(instance, L"*playlist", 2);
    plugin().invokeMenu(instance, L"*Playlist", 0);
    plugin().invokeMenu(instance, L"*playlist", INT_MIN);
    plugin().invokeMenu(instance, L"playlist", 2);
    plugin().invokeMenu(instance, nullptr, 2);
    EXPECT_EQ(fake.messages(), (Messages{posted(RM_PLAYLIST_PLAY, 1), posted(RM_PLAYLIST_PLAY, 0xFFFFFFFF),
                                         posted(RM_PLAYLIST_PLAY, 0x7FFFFFFF)}));
}

TEST(InvokeMenu, NothingWithThePlayerAbsent) {
    Instance instance;
    plugin().invokeMenu(instance, L"*playlist", 2);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, WM_USER, WM_APP - 1, PM_REMOVE));
}

// Whether `block` is an allocated block of the process heap, by walking the heap.
bool allocatedOnProcessHeap(const void* block) {
    const HANDLE heap = GetProcessHeap();
    HeapLock(heap);
    PROCESS_HEAP_ENTRY entry{};
    bool found = false;
    while (!found && HeapWalk(heap, &entry))
        found = entry.lpData == block && (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) != 0;
    HeapUnlock(heap);
    return found;
}

TEST(FreeMenu, GivesTheArrayBackForAnyNameAndAcceptsNull) {
    Instance instance;
    plugin().freeMenu(instance, L"*playlist", nullptr);
    plugin().freeMenu(instance, nullptr, nullptr);
    FakePlayer fake;
    scriptPlaylist(fake, {L"a"}, 0);
    for (const wchar_t* name : {L"*playlist", L"another name"}) {
        PlaylistMenuItem* items = plugin().queryMenu(instance, L"*playlist");
        ASSERT_NE(items, nullptr);
        ASSERT_TRUE(allocatedOnProcessHeap(items));
        plugin().freeMenu(instance, name, items);
        EXPECT_FALSE(allocatedOnProcessHeap(items)) << narrow(name);
    }
}

} // namespace
