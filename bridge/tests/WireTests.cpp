// The wire between the bridge's halves: every text survives the trip whatever it holds,
// each value the player did not give stays absent, and a snapshot is read back as sent.
#include "Wire.h"

#include <gtest/gtest.h>

namespace {

TEST(Wire, EveryTextSurvivesTheTripOnOneLine) {
    const std::string texts[] = {"",
                                 "plain",
                                 "back\\slash",
                                 "new\nline",
                                 "\r\t\x01\x7f",
                                 "\\n not a newline",
                                 "Über den Wolken",
                                 "夜明けの歌",
                                 std::string(10'000, 'x'),
                                 "ends in \\"};
    for (const std::string& text : texts) {
        const std::string line = bridge_wire::escape(text);
        EXPECT_EQ(line.find('\n'), std::string::npos);
        EXPECT_EQ(bridge_wire::unescape(line), text);
    }
}

TEST(Wire, ASnapshotIsReadBackAsSentWithWhatWasNotGivenStillAbsent) {
    bridge_wire::Snapshot sent;
    sent.player = "org.mpris.MediaPlayer2.mpv";
    sent.status = "Playing";
    sent.position = 12'345'678;
    sent.rate = 1.5;
    sent.length = 245'000'000;
    sent.volume = 0.25;
    sent.loop = "Playlist";
    sent.canPlay = sent.canNext = sent.canSeek = true;
    sent.title = "Über\nden Wolken";
    sent.artist = "";
    sent.tracks = std::vector<std::string>{"one", "", "three"};
    sent.current = 2;
    sent.stale = true;
    bridge_wire::Snapshot got;
    std::string text = sent.encode();
    ASSERT_EQ(text.rfind("snapshot\n", 0), 0u);
    text.erase(0, std::string("snapshot\n").size());
    for (std::size_t end; (end = text.find('\n')) != std::string::npos; text.erase(0, end + 1))
        if (!got.decode(text.substr(0, end)))
            break;
    EXPECT_EQ(got.player, sent.player);
    EXPECT_EQ(got.status, "Playing");
    EXPECT_EQ(got.position, sent.position);
    EXPECT_DOUBLE_EQ(got.rate, 1.5);
    EXPECT_EQ(got.length, sent.length);
    EXPECT_DOUBLE_EQ(*got.volume, 0.25);
    EXPECT_FALSE(got.shuffle.has_value()); // not given: absent, not off
    EXPECT_EQ(got.loop, "Playlist");
    EXPECT_TRUE(got.canPlay && got.canNext && got.canSeek);
    EXPECT_FALSE(got.canPause || got.canPrevious || got.canControl || got.canQuit);
    EXPECT_EQ(got.title, sent.title);
    EXPECT_EQ(got.artist, std::string()); // given, and empty
    EXPECT_FALSE(got.album.has_value());
    EXPECT_FALSE(got.rating.has_value());
    EXPECT_EQ(got.tracks, sent.tracks);
    EXPECT_EQ(got.current, 2);
    EXPECT_TRUE(got.stale);
}

} // namespace
