// getHotkeyCommands: the catalogue's bytes, and that sendCmd carries out each entry.
#include "FakePlayer.h"
#include "Plugin.h"
#include "Protocol.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using namespace testing_support;
using namespace protocol;
using Messages = std::vector<ReceivedMessage>;

namespace {

struct Entry {
    const wchar_t* command;
    const wchar_t* description;
    Messages carriedOut; // what sendCmd makes of it, max volume 100 and volume 50
};

const Entry kCatalogue[] = {
    {L"playpause", L"Play/Pause", {posted(RM_PLAYPAUSE)}},
    {L"play", L"Play", {posted(RM_PLAY)}},
    {L"stop", L"Stop", {posted(RM_STOP)}},
    {L"next", L"Play Next track", {posted(RM_NEXT)}},
    {L"prev", L"Play previouse track", {posted(RM_PREV)}},
    {L"volumeup", L"Volume UP", {sent(RM_GET_MAXVOLUME), sent(RM_GET_VOLUME), posted(RM_SETVOLUME, 60)}},
    {L"volumedown", L"Volume DOWN", {sent(RM_GET_MAXVOLUME), sent(RM_GET_VOLUME), posted(RM_SETVOLUME, 40)}},
    {L"quit", L"Close", {posted(RM_QUIT)}},
    {L"eject", L"Eject", {posted(RM_EJECT)}},
    {L"shuffle", L"Togle shuffle state", {posted(RM_SHUFFLE)}},
    {L"repeat", L"Togle repeat state", {posted(RM_REPEAT)}},
};

TEST(Hotkeys, NullBufferOnlyCounts) {
    EXPECT_EQ(plugin().getHotkeyCommands(nullptr), 11);
}

TEST(Hotkeys, CopiesExactly7810Bytes) {
    std::vector<unsigned char> buffer(7810 + 16, 0xCC);
    EXPECT_EQ(plugin().getHotkeyCommands(reinterpret_cast<HotkeyCommand*>(buffer.data())), 11);
    for (std::size_t i = 7810; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], 0xCC) << "byte " << i;

    for (std::size_t k = 0; k < 11; ++k) {
        SCOPED_TRACE(k);
        const auto* entry = reinterpret_cast<const wchar_t*>(buffer.data() + 710 * k);
        const wchar_t* command = entry;
        const wchar_t* description = entry + 100;
        EXPECT_STREQ(command, kCatalogue[k].command);
        EXPECT_STREQ(description, kCatalogue[k].description);
        for (std::size_t i = wcslen(kCatalogue[k].command); i < 100; ++i)
            ASSERT_EQ(command[i], 0) << "command unit " << i;
        for (std::size_t i = wcslen(kCatalogue[k].description); i < 255; ++i)
            ASSERT_EQ(description[i], 0) << "description unit " << i;
    }
}

TEST(Hotkeys, SameCatalogueEveryCall) {
    HotkeyCommand first[11];
    HotkeyCommand second[11];
    std::memset(second, 0x55, sizeof second);
    plugin().getHotkeyCommands(first);
    {
        Instance instance;
        plugin().getHotkeyCommands(second);
    }
    EXPECT_EQ(std::memcmp(first, second, sizeof first), 0);
}

TEST(Hotkeys, EveryCommandIsCarriedOutBySendCmd) {
    FakePlayer fake;
    fake.answer(RM_GET_MAXVOLUME, 100);
    fake.answer(RM_GET_VOLUME, 50);
    Instance instance;
    HotkeyCommand entries[11];
    plugin().getHotkeyCommands(entries);
    for (const HotkeyCommand& entry : entries) {
        const Entry* expected = nullptr;
        for (const Entry& e : kCatalogue)
            if (wcscmp(e.command, entry.command) == 0)
                expected = &e;
        ASSERT_NE(expected, nullptr);
        SCOPED_TRACE(std::string(entry.command, entry.command + wcslen(entry.command)));
        fake.clearMessages();
        plugin().sendCmd(instance, entry.command, 0);
        EXPECT_EQ(fake.messages(), expected->carriedOut);
    }
}

} // namespace
