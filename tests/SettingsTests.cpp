// getPlayerParams and setPlayerParams: the record bytes, the untouched host bytes,
// the keys, and the pending-change flag.
#include "FakePlayer.h"
#include "Plugin.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <string>

using namespace testing_support;

namespace {

PlayerParam param(const wchar_t* name, std::int32_t value) {
    PlayerParam p{};
    wcsncpy(p.name, name, 49);
    p.value = value;
    return p;
}

std::map<std::wstring, int> settingsOf(PlayerInstance* instance) {
    PlayerParam params[6]{};
    std::map<std::wstring, int> result;
    const int count = plugin().getPlayerParams(instance, params);
    for (int i = 0; i < count; ++i)
        result[params[i].name] = params[i].value;
    return result;
}

const std::map<std::wstring, int> kDefaults = {
    {L"scrollAlbum", 1},     {L"scrollArtist", 1}, {L"scrollTitle", 1},
    {L"scrollTrackName", 1}, {L"trackTime", 1},    {L"volume", 255},
};

// needSave as the host sees it: getProp "needsave" with the player running.
int needSave(PlayerInstance* instance) {
    FakePlayer fake;
    return plugin().getProp(instance, L"needsave", 0);
}

TEST(ReadOut, WritesNameReservedAndValueOnly) {
    Instance instance;
    unsigned char bytes[6 * 108 + 16];
    std::memset(bytes, 0xEE, sizeof bytes);
    auto* params = reinterpret_cast<PlayerParam*>(bytes);
    EXPECT_EQ(plugin().getPlayerParams(instance, params), 6);

    const wchar_t* keys[] = {L"scrollAlbum",     L"scrollArtist", L"scrollTitle",
                             L"scrollTrackName", L"trackTime",    L"volume"};
    const std::int32_t values[] = {1, 1, 1, 1, 1, 255};
    for (int k = 0; k < 6; ++k) {
        SCOPED_TRACE(k);
        const unsigned char* record = bytes + 108 * k;
        const std::size_t nameBytes = (wcslen(keys[k]) + 1) * 2;
        EXPECT_EQ(std::memcmp(record, keys[k], nameBytes), 0);
        for (std::size_t i = nameBytes; i < 100; ++i)
            ASSERT_EQ(record[i], 0xEE) << "name byte " << i;
        EXPECT_EQ(record[100], 0);
        EXPECT_EQ(record[101], 0xEE);
        EXPECT_EQ(record[102], 0xEE);
        EXPECT_EQ(record[103], 0xEE);
        std::int32_t value;
        std::memcpy(&value, record + 104, 4);
        EXPECT_EQ(value, values[k]);
    }
    for (std::size_t i = 6 * 108; i < sizeof bytes; ++i)
        EXPECT_EQ(bytes[i], 0xEE) << "byte " << i << " after the six records";
}

TEST(ReadOut, ClearsNeedSaveOnlyWithAnArray) {
    Instance instance;
    plugin().sendCmd(instance, L"title", 0);
    EXPECT_EQ(plugin().getPlayerParams(instance, nullptr), 6);
    EXPECT_EQ(needSave(instance), 1);

    plugin().sendCmd(instance, L"title", 0);
    PlayerParam params[6];
    EXPECT_EQ(plugin().getPlayerParams(instance, params), 6);
    EXPECT_EQ(needSave(instance), 0);
}

TEST(ReadOut, ReflectsToggles) {
    Instance instance;
    EXPECT_EQ(settingsOf(instance), kDefaults);
    plugin().sendCmd(instance, L"artist", 0);
    plugin().sendCmd(instance, L"tracktime", 0);
    auto expected = kDefaults;
    expected[L"scrollArtist"] = 0;
    expected[L"trackTime"] = 0;
    EXPECT_EQ(settingsOf(instance), expected);
}

TEST(WriteBack, AppliesRecordsInOrderMatchingKeysWithoutCase) {
    Instance instance;
    plugin().sendCmd(instance, L"album", 0);
    const PlayerParam params[] = {
        param(L"SCROLLTITLE", 0),  param(L"no such key", 9),
        param(L"volume", 10),      param(L"scrolltitlex", 5),
        param(L"Volume", 20),      param(L"trackTime", -1),
        param(L"scrollArtist", 7), param(L"", 3),
    };
    plugin().setPlayerParams(instance, params, 8);
    EXPECT_EQ(needSave(instance), 0);
    auto expected = kDefaults;
    expected[L"scrollAlbum"] = 0; // not mentioned: keeps its toggled value
    expected[L"scrollTitle"] = 0;
    expected[L"volume"] = 20; // the last of two
    expected[L"trackTime"] = -1;
    expected[L"scrollArtist"] = 7;
    EXPECT_EQ(settingsOf(instance), expected);
}

TEST(WriteBack, ValuesRoundTripBitForBit) {
    Instance instance;
    for (std::int32_t value : {-1, 7, 0, INT_MIN, INT_MAX}) {
        const PlayerParam params[] = {param(L"volume", value), param(L"scrollTitle", value)};
        plugin().setPlayerParams(instance, params, 2);
        EXPECT_EQ(settingsOf(instance)[L"volume"], value);
        EXPECT_EQ(settingsOf(instance)[L"scrollTitle"], value);
    }
}

TEST(WriteBack, TheReadOutArrayChangesNothing) {
    Instance instance;
    const PlayerParam changes[] = {param(L"volume", 42), param(L"scrollTrackName", 0),
                                   param(L"trackTime", 9)};
    plugin().setPlayerParams(instance, changes, 3);
    const auto before = settingsOf(instance);
    PlayerParam params[6];
    plugin().getPlayerParams(instance, params);
    for (PlayerParam& p : params)
        p.reserved = 0x5A; // the byte is never read
    plugin().setPlayerParams(instance, params, 6);
    EXPECT_EQ(settingsOf(instance), before);
}

TEST(WriteBack, NoRecordsStillClearNeedSave) {
    for (int count : {0, -1, INT_MIN}) {
        SCOPED_TRACE(count);
        Instance instance;
        plugin().sendCmd(instance, L"title", 0);
        const PlayerParam params[] = {param(L"volume", 1)};
        plugin().setPlayerParams(instance, params, count);
        EXPECT_EQ(needSave(instance), 0);
        EXPECT_EQ(settingsOf(instance)[L"volume"], 255);
    }
    Instance instance;
    plugin().sendCmd(instance, L"title", 0);
    plugin().setPlayerParams(instance, nullptr, 0);
    EXPECT_EQ(needSave(instance), 0);
}

TEST(WriteBack, NameWithoutTerminatorIsSkippedAndNotReadPast) {
    // The record ends exactly where readable memory ends: reading past it would fault.
    SYSTEM_INFO system;
    GetSystemInfo(&system);
    const DWORD page = system.dwPageSize;
    auto* region = static_cast<unsigned char*>(VirtualAlloc(nullptr, 2 * page, MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(region, nullptr);
    DWORD old;
    ASSERT_TRUE(VirtualProtect(region + page, page, PAGE_NOACCESS, &old));

    auto* params = reinterpret_cast<PlayerParam*>(region + page - 2 * sizeof(PlayerParam));
    params[0] = param(L"volume", 30);
    for (wchar_t& unit : params[1].name)
        unit = L'v';
    std::memcpy(params[1].name, L"volume", 12); // "volume" followed by 44 more units, no terminator
    // Bytes 100 to 107 hold no pair of zero bytes either, so a read past unit 49 finds no terminator there.
    params[1].reserved = 0x11;
    std::memset(params[1].padding, 0x22, sizeof(params[1].padding));
    params[1].value = 0x01010101;
    Instance instance;
    plugin().setPlayerParams(instance, params, 2);
    EXPECT_EQ(settingsOf(instance)[L"volume"], 30);
    VirtualFree(region, 0, MEM_RELEASE);
}

TEST(WriteBack, RecordsAfterAnUnterminatedNameStillApply) {
    PlayerParam params[3] = {param(L"scrollTitle", 5), {}, param(L"volume", 42)};
    for (wchar_t& unit : params[1].name)
        unit = L'x';
    Instance instance;
    plugin().setPlayerParams(instance, params, 3);
    EXPECT_EQ(settingsOf(instance)[L"scrollTitle"], 5);
    EXPECT_EQ(settingsOf(instance)[L"volume"], 42);
}

} // namespace
