// The bridge's window (tools/mpris-window) as the plug-in meets it, driven from
// snapshots of an MPRIS player: every message of the protocol answered from what the
// player gave, what it did not give reported as unsupported and no answer, numbers
// clamped, the position moved on while it plays, and commands handed on as lines.
#include "BridgeWindow.h"

#include "Protocol.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace protocol;

namespace {

bridge_wire::Snapshot mpvLike() {
    bridge_wire::Snapshot s;
    s.player = "org.mpris.MediaPlayer2.mpv";
    s.status = "Playing";
    s.position = 10'000'000;
    s.length = 245'000'000;
    s.volume = 0.8;
    s.shuffle = false;
    s.loop = "None";
    s.canPlay = s.canPause = s.canNext = s.canPrevious = s.canSeek = s.canControl = s.canQuit = true;
    s.title = "\xC3\x9C"
              "ber den Wolken";        // Über den Wolken
    s.artist = "\xC3\x85sa Lindqvist"; // Åsa Lindqvist
    s.album = "H\xC3\xB6henluft";
    return s;
}

class Bridge : public testing::Test {
protected:
    std::wstring text(UINT message, WPARAM wParam = 0) {
        SetWindowTextW(window.window(), L"before");
        const LRESULT answer = window.answer(message, wParam, now);
        wchar_t title[16384] = L"";
        InternalGetWindowText(window.window(), title, 16384);
        return answer != 0 ? std::wstring(title) : L"(no text)";
    }
    std::vector<std::string> sent;
    mpris_window::BridgeWindow window{[this](const std::string& line) { sent.push_back(line); }};
    ULONGLONG now = 100'000;
};

TEST_F(Bridge, WhatThePlayerGaveIsAnsweredAndWhatItDidNotIsNoAnswer) {
    window.take(mpvLike(), now);
    ASSERT_NE(window.window(), nullptr);
    EXPECT_EQ(FindWindowW(kWindowClass, nullptr), window.window());
    EXPECT_EQ(text(RM_TEXT_TITLE), L"\u00c5sa Lindqvist - \u00dcber den Wolken");
    EXPECT_EQ(text(RM_TEXT_TRACKNAME), L"\u00dcber den Wolken");
    EXPECT_EQ(text(RM_TEXT_TIPCAPTION), L"\u00c5sa Lindqvist - \u00dcber den Wolken (H\u00f6henluft)");
    EXPECT_EQ(text(RM_TEXT_TRACKLEN), L"4:05");
    EXPECT_EQ(text(RM_TEXT_GENRE), L"(no text)"); // not given: no text, never made up
    EXPECT_EQ(text(RM_TEXT_YEAR), L"(no text)");
    EXPECT_EQ(window.answer(RM_GET_TRACKLENGTH, 0, now), 245);
    EXPECT_EQ(window.answer(RM_GET_MAXVOLUME, 0, now), 100);
    EXPECT_EQ(window.answer(RM_GET_VOLUME, 0, now), 80);
    EXPECT_EQ(window.answer(RM_STATE_PLAYPAUSE, 0, now), 1);
    struct Offered {
        UINT message;
        LRESULT supported;
    };
    for (const Offered& o :
         {Offered{RM_PLAY, 1}, Offered{RM_NEXT, 1}, Offered{RM_SEEK, 1}, Offered{RM_SETVOLUME, 1},
          Offered{RM_SHUFFLE, 1}, Offered{RM_MUTE, 0}, Offered{RM_EJECT, 0}, Offered{RM_RATE3, 0},
          Offered{RM_GET_RATING, 0}, Offered{RM_TEXT_GENRE, 0}, Offered{RM_PLAYLIST_COUNT, 0},
          Offered{RM_TEXT_RESERVED1, 0}}) {
        SCOPED_TRACE(o.message);
        EXPECT_EQ(window.answer(RM_IS_SUPPORTED, o.message, now), o.supported);
    }
    EXPECT_EQ(window.answer(RM_PLAYLIST_COUNT, 0, now), 0);
    EXPECT_EQ(window.answer(RM_PLAYLIST_CURRENT, 0, now), -1);
    EXPECT_EQ(text(RM_PLAYLIST_ITEMTEXT, 0), L"(no text)");
    // No MPRIS player: no window, so that the plug-in sees the player absent.
    window.take(bridge_wire::Snapshot{}, now);
    EXPECT_EQ(window.window(), nullptr);
    EXPECT_EQ(FindWindowW(kWindowClass, nullptr), nullptr);
}

TEST_F(Bridge, ThePositionMovesOnWhilePlayingAndStandsStillOtherwise) {
    bridge_wire::Snapshot s = mpvLike();
    window.take(s, now);
    EXPECT_EQ(window.answer(RM_GET_POSITION, 0, now + 2'500), 12);
    s.rate = 2.0;
    window.take(s, now);
    EXPECT_EQ(window.answer(RM_GET_POSITION, 0, now + 2'500), 15);
    EXPECT_EQ(window.answer(RM_GET_POSITION, 0, now + 10'000'000), 245); // never past the end
    s.status = "Paused";
    window.take(s, now);
    EXPECT_EQ(window.answer(RM_GET_POSITION, 0, now + 2'500), 10);
    s.status = "Playing";
    s.stale = true; // not known to play on
    window.take(s, now);
    EXPECT_EQ(window.answer(RM_GET_POSITION, 0, now + 2'500), 10);
    EXPECT_EQ(
        text(RM_TEXT_TIPCAPTION),
        L"\u00c5sa Lindqvist - \u00dcber den Wolken (H\u00f6henluft) \u2014 the player does not answer");
}

TEST_F(Bridge, OddValuesAreAnsweredWithinTheProtocol) {
    bridge_wire::Snapshot s = mpvLike();
    s.volume = 1.5;                     // above what MPRIS allows
    s.rating = 0.6;                     // three stars
    s.title = std::string(10'000, 'x'); // long
    s.artist = "bad \xFF\xFE bytes";    // not UTF-8
    s.tracks = std::vector<std::string>{"one", "", "three"};
    s.current = 2;
    window.take(s, now);
    EXPECT_EQ(window.answer(RM_GET_VOLUME, 0, now), 100);
    EXPECT_EQ(window.answer(RM_GET_RATING, 0, now), 3);
    EXPECT_EQ(window.answer(RM_STATE_RATING3, 0, now), 1);
    EXPECT_EQ(window.answer(RM_STATE_RATING4, 0, now), 0);
    EXPECT_EQ(text(RM_TEXT_TRACKNAME).size(), 10'000u);
    EXPECT_NE(text(RM_TEXT_ARTIST).find(L'\ufffd'), std::wstring::npos);
    EXPECT_EQ(window.answer(RM_PLAYLIST_COUNT, 0, now), 3);
    EXPECT_EQ(window.answer(RM_PLAYLIST_CURRENT, 0, now), 2);
    EXPECT_EQ(text(RM_PLAYLIST_ITEMTEXT, 2), L"three");
    EXPECT_EQ(text(RM_PLAYLIST_ITEMTEXT, 1), L"(no text)"); // an entry without text: an empty title
    EXPECT_EQ(text(RM_PLAYLIST_ITEMTEXT, 7), L"(no text)");
}

TEST_F(Bridge, CommandsAreHandedOnAsLines) {
    window.take(mpvLike(), now);
    for (const UINT command :
         {RM_PLAYPAUSE, RM_NEXT, RM_PREV, RM_STOP, RM_SHUFFLE, RM_REPEAT, RM_QUIT, RM_MUTE})
        window.answer(command, 0, now);
    window.answer(RM_SETVOLUME, 140, now);
    window.answer(RM_SEEK, 61, now);
    window.answer(RM_PLAYLIST_PLAY, 2, now);
    EXPECT_EQ(sent, (std::vector<std::string>{"playpause", "next", "previous", "stop", "shuffle", "repeat",
                                              "quit", "volume 100", "seek 61", "goto 2"}));
}

} // namespace
