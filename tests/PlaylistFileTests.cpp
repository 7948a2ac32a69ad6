// The reference player's playlist reading and simulated playback.
#include "Playback.h"
#include "Playlist.h"

#include <gtest/gtest.h>

using remote_player::Playback;
using remote_player::Track;

namespace {

TEST(M3u, ReadsExtendedEntriesWithNonAsciiText) {
    const auto tracks =
        remote_player::parseM3u("\xEF\xBB\xBF#EXTM3U\r\n"
                                "#EXTALB:Sm\xC3\xB6rg\xC3\xA5sbord\r\n"
                                "#EXTGENRE:Folk\r\n"
                                "#EXTINF:125,\xC3\x86r\xC3\xB8 - F\xC3\xA6rgen \xF0\x9F\x9A\xA2\r\n"
                                "music/ferry.ogg\r\n"
                                "\r\n"
                                "# a comment\n"
                                "#EXTINF:-1,Untitled - With - Dashes\n"
                                "C:\\music\\second.mp3\n"
                                "#EXTALB:\n"
                                "D:/music/Caf\xC3\xA9 Noir.flac\n");
    ASSERT_EQ(tracks.size(), 3u);
    EXPECT_EQ(tracks[0].artist, L"\u00c6r\u00f8");
    EXPECT_EQ(tracks[0].title, L"F\u00e6rgen \U0001F6A2");
    EXPECT_EQ(tracks[0].album, L"Sm\u00f6rg\u00e5sbord");
    EXPECT_EQ(tracks[0].genre, L"Folk");
    EXPECT_EQ(tracks[0].seconds, 125);
    EXPECT_EQ(tracks[0].file, L"music/ferry.ogg");
    EXPECT_EQ(tracks[1].artist, L"Untitled");
    EXPECT_EQ(tracks[1].title, L"With - Dashes");
    EXPECT_EQ(tracks[1].seconds, remote_player::kDefaultSeconds);
    EXPECT_EQ(tracks[1].album, L"Sm\u00f6rg\u00e5sbord"); // album lines hold until the next one
    EXPECT_EQ(tracks[2].title, L"Caf\u00e9 Noir");        // no #EXTINF: titled after its file
    EXPECT_EQ(tracks[2].artist, L"");
    EXPECT_EQ(tracks[2].album, L"");
    EXPECT_EQ(tracks[2].displayName(), L"Caf\u00e9 Noir");

    // Bare CR line ends, as old Mac tools wrote them.
    const auto mac = remote_player::parseM3u("#EXTINF:5,A - One\rone.ogg\r#EXTINF:6,B - Two\rtwo.ogg\r");
    ASSERT_EQ(mac.size(), 2u);
    EXPECT_EQ(mac[1].title, L"Two");
    EXPECT_EQ(mac[1].file, L"two.ogg");
}

TEST(M3u, EmptyOrMissingFilesGiveNoEntries) {
    EXPECT_TRUE(remote_player::parseM3u("").empty());
    EXPECT_TRUE(remote_player::parseM3u("#EXTM3U\n#EXTINF:10,Only a description\n").empty());
    std::wstring error;
    EXPECT_TRUE(remote_player::loadM3u(L"Z:\\no\\such\\list.m3u", error).empty());
    EXPECT_NE(error.find(L"cannot open"), std::wstring::npos);
}

TEST(M3u, EncodingsAreRecognisedAndBinaryIsRefused) {
    struct Case {
        std::string bytes;
        const wchar_t* text;
        const wchar_t* encoding;
        bool binary;
    };
    const Case cases[] = {
        {"Bj\xC3\xB6rk", L"Bj\u00f6rk", L"UTF-8", false},
        {"\xEF\xBB\xBF"
         "Bj\xC3\xB6rk",
         L"Bj\u00f6rk", L"UTF-8", false},
        {"Bj\xF6rk \x80", L"Bj\u00f6rk \u20ac", L"Windows-1252", false}, // 0x80 is the euro sign there
        {std::string("\xFF\xFE"
                     "B\0\xF6\0",
                     6),
         L"B\u00f6", L"UTF-16 LE", false},
        {std::string("\xFE\xFF\0B\x04\x3B", 6), L"B\u043b", L"UTF-16 BE", false},
        {std::string("MZ\0\0", 4), L"", L"UTF-8", true},
    };
    for (const Case& c : cases) {
        const remote_player::Decoded decoded = remote_player::decodePlaylist(c.bytes);
        EXPECT_EQ(decoded.binary, c.binary) << c.bytes;
        if (c.binary)
            continue;
        EXPECT_EQ(decoded.text, c.text) << c.bytes;
        EXPECT_STREQ(decoded.encoding, c.encoding);
    }
}

std::vector<Track> threeTracks() {
    return {{L"A", L"one", L"", L"", L"", L"1", 10},
            {L"B", L"two", L"", L"", L"", L"2", 20},
            {L"C", L"three", L"", L"", L"", L"3", 30}};
}

TEST(Playback, FollowsTheListAndStopsAtItsEnd) {
    Playback playback(threeTracks());
    playback.play();
    playback.advance(10'500);
    EXPECT_EQ(playback.current(), 1);
    EXPECT_EQ(playback.positionSeconds(), 0);
    playback.advance(20'000 + 30'000);
    EXPECT_FALSE(playback.playing());
    EXPECT_EQ(playback.current(), 2);
}

TEST(Playback, RepeatStartsTheListAgain) {
    Playback playback(threeTracks());
    playback.toggleRepeat();
    playback.playEntry(2);
    playback.advance(31'000);
    EXPECT_TRUE(playback.playing());
    EXPECT_EQ(playback.current(), 0);
    EXPECT_EQ(playback.positionSeconds(), 1);
}

TEST(Playback, ShuffleNeverRepeatsTheCurrentEntry) {
    Playback playback(threeTracks(), 42);
    playback.toggleShuffle();
    for (int i = 0; i < 50; ++i) {
        const int before = playback.current();
        playback.next();
        EXPECT_NE(playback.current(), before);
    }
}

TEST(Playback, BoundsVolumeSeekAndRating) {
    Playback playback(threeTracks());
    playback.setVolume(500);
    EXPECT_EQ(playback.volume(), 100);
    playback.setVolume(-3);
    EXPECT_EQ(playback.volume(), 0);
    playback.seek(99);
    EXPECT_EQ(playback.positionSeconds(), 10);
    playback.rate(4);
    playback.rate(9);
    EXPECT_EQ(playback.rating(), 4);
    playback.eject();
    EXPECT_EQ(playback.lengthSeconds(), 0);
    EXPECT_EQ(playback.track(), nullptr);
    playback.play();
    EXPECT_EQ(playback.lengthSeconds(), 10);
}

} // namespace
