// The tools as a user meets them: settings that are never lost or misreported, a
// hung player reported at once, one reference player at a time, playlists in the
// encodings people have, and texts shown safely.
#include "EndToEnd.h"
#include "Console.h"
#include "DisplaySettings.h"
#include "FakePlayer.h"
#include "HostRefresh.h"

#include <algorithm>
#include <atomic>
#include <memory>
#include <thread>

#include <vector>

using namespace testing_support;

namespace {

std::wstring writeFile(const std::wstring& name, const std::string& bytes) {
    const std::wstring path = besideProgram(name.c_str());
    const tools::UniqueFile file(
        CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return path;
}

std::wstring readFile(const std::wstring& path) {
    const tools::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                             nullptr, OPEN_EXISTING, 0, nullptr));
    std::string bytes(1 << 16, '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return tools::fromUtf8(bytes);
}

// The player's window as it behaves while another program asks it for a text: that
// program's reply lands in the title after whatever a request set there.
WNDPROC playerProc = nullptr;
LRESULT CALLBACK servingAnotherProgram(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_SETTEXT)
        lParam = reinterpret_cast<LPARAM>(L"another program's reply");
    return CallWindowProcW(playerProc, window, message, wParam, lParam);
}

TEST_F(EndToEnd, SettingsAreSavedWithoutAPlayerAndEveryWriteIsChecked) {
    // A toggle made while no player runs is saved, to the path as given.
    const ProgramRun toggled = host(L"cmd title");
    EXPECT_EQ(toggled.exitCode, 0u);
    EXPECT_TRUE(contains(toggled.output, L"(display settings saved to " + ini_ + L")"))
        << narrow(toggled.output);
    EXPECT_EQ(GetPrivateProfileIntW(L"player", L"scrollTitle", -1, ini_.c_str()), 0);

    // A file that cannot be written is an error, not a success.
    std::wstring folderPath = besideProgram(L"");
    folderPath.pop_back(); // no backslash before the closing quote
    const ProgramRun folder =
        runProgram(L"\"" + besideProgram(L"player-host.exe") + L"\" --ini \"" + folderPath + L"\" cmd album");
    EXPECT_EQ(folder.exitCode, 1u);
    EXPECT_TRUE(contains(folder.errors, L"player-host: cannot save the display settings to"))
        << narrow(folder.errors);

    // A value that is no 32-bit number keeps the default and is named in a warning.
    WritePrivateProfileStringW(L"player", L"scrollAlbum", L"99999999999", ini_.c_str());
    const ProgramRun warned = host(L"hotkeys");
    EXPECT_EQ(warned.exitCode, 0u);
    EXPECT_TRUE(contains(warned.errors, L"warning: scrollAlbum=99999999999")) << narrow(warned.errors);
}

TEST_F(EndToEnd, HungPlayerIsReportedAtOnceWithExitCodeFour) {
    FakePlayer fake;
    fake.hangOn(protocol::RM_NEXT);
    PostMessageW(fake.window(), protocol::RM_NEXT, 0, 0);
    ASSERT_TRUE(waitUntil([&] { return fake.hanging(); })); // it answers nothing more
    for (const wchar_t* command : {L"status", L"probe", L"cmd next", L"playlist"}) {
        SCOPED_TRACE(narrow(command));
        const ULONGLONG start = GetTickCount64();
        const ProgramRun run = host(command);
        EXPECT_LT(GetTickCount64() - start, 8000u);
        EXPECT_EQ(run.exitCode, 4u);
        EXPECT_TRUE(contains(run.errors + run.output, L"player not responding")) << narrow(run.errors);
    }
    fake.release();
}

TEST_F(EndToEnd, TwoReferencePlayersStartedAtOnceLeaveOne) {
    // Nothing decides which of the two wins: whichever it is keeps the one window.
    RunningProgram players[] = {RunningProgram(L"\"" + referencePlayer() + L"\" "),
                                RunningProgram(L"\"" + referencePlayer() + L"\" ")};
    ASSERT_TRUE(players[0].started() && players[1].started());
    ASSERT_TRUE(waitUntil([&] { return !players[0].running() || !players[1].running(); }, 20000));
    const bool firstWon = players[0].running();
    RunningProgram& winner = firstWon ? players[0] : players[1];
    RunningProgram& loser = firstWon ? players[1] : players[0];
    const ProgramRun refused = loser.finish();
    EXPECT_EQ(refused.exitCode, 1u);
    EXPECT_TRUE(contains(refused.errors, L"remote-player: a player is already running ("))
        << narrow(refused.errors);
    ASSERT_TRUE(waitUntil([] { return playerWindow() != nullptr; }));
    EXPECT_TRUE(winner.running());
    int windows = 0;
    for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, protocol::kWindowClass, nullptr)) != nullptr;)
        ++windows;
    EXPECT_EQ(windows, 1);
    DWORD owner = 0;
    GetWindowThreadProcessId(playerWindow(), &owner);
    EXPECT_EQ(owner, winner.id());

    // A third names the window it found and the process that owns it.
    const ProgramRun third = runProgram(L"\"" + referencePlayer() + L"\"", 10000);
    EXPECT_EQ(third.exitCode, 1u);
    EXPECT_TRUE(contains(third.errors, L"process " + std::to_wstring(owner))) << narrow(third.errors);
    stopPlayer();
    EXPECT_EQ(winner.finish().exitCode, 0u);

    for (const wchar_t* missing : {L" --playlist", L" --playlist \"\""}) {
        const ProgramRun noFile = runProgram(L"\"" + referencePlayer() + L"\"" + missing, 3000);
        EXPECT_EQ(noFile.exitCode, 2u);
        EXPECT_TRUE(contains(noFile.errors, L"--playlist needs a file")) << narrow(noFile.errors);
    }
}

TEST_F(EndToEnd, PlaylistFilesInTheirEncodingsAndTextsShownSafely) {
    struct Case {
        const char* what;
        std::string bytes;
        std::wstring title; // as status shows it; empty: the file is refused
        const wchar_t* warning;
    };
    std::string utf16 = "\xFF\xFE";
    for (const wchar_t unit : std::wstring(L"#EXTINF:10,\u00f6 - \u043b\nx\n"))
        utf16 += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    const Case cases[] = {
        {"Windows-1252", "#EXTINF:10,Bj\xF6rk - J\xF3ga\nb.ogg\n", L"Bj\u00f6rk - J\u00f3ga",
         L"read as Windows-1252"},
        {"UTF-8 without a mark", "#EXTINF:10,Bj\xC3\xB6rk - J\xC3\xB3ga\nb.ogg\n", L"Bj\u00f6rk - J\u00f3ga",
         nullptr},
        {"UTF-16 LE", utf16, L"\u00f6 - \u043b", nullptr},
        {"control characters", "#EXTINF:10,Evil\x1B[2J - Bell\x07\nb.ogg\n", L"Evil\\x1B[2J - Bell\\x07",
         nullptr},
        {"binary", std::string("MZ\x90\0\x03\0\0\0", 8), L"", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::wstring path = writeFile(L"tool-tests.m3u", c.bytes);
        const std::wstring player = L"\"" + referencePlayer() + L"\" --playlist \"" + path + L"\"";
        if (c.title.empty()) {
            const ProgramRun refused = runProgram(player);
            EXPECT_EQ(refused.exitCode, 1u);
            EXPECT_TRUE(contains(refused.errors, L"is not a playlist: it holds binary data"))
                << narrow(refused.errors);
            continue;
        }
        startPlayer(L"--playlist \"" + path + L"\"");
        if (c.warning != nullptr) {
            // A second player reads the file, warns, and stops: one is running already.
            const ProgramRun warned = runProgram(player, 5000);
            EXPECT_TRUE(contains(warned.errors, c.warning)) << narrow(warned.errors);
        }
        const std::wstring status = output(L"status");
        EXPECT_TRUE(contains(status, L"Title    " + c.title + L"\n")) << narrow(status);
        EXPECT_EQ(status.find(L'\x1B'), std::wstring::npos);
        stopPlayer();
    }
}

TEST_F(EndToEnd, StatusShowsWhatThePlayerHasAndNamesTheTimeBySetting) {
    startPlayer(L"--no-rating");
    std::wstring status = output(L"status");
    EXPECT_FALSE(contains(status, L"Rating")) << narrow(status);
    EXPECT_TRUE(contains(status, L" remaining ")) << narrow(status);
    output(L"cmd tracktime 0");
    status = output(L"status");
    EXPECT_TRUE(contains(status, L"0:00 elapsed")) << narrow(status);
    stopPlayer();
    EXPECT_TRUE(contains(output(L"menu"), L"(1 item from the plug-in"));
}

TEST_F(EndToEnd, JsonForScriptsAndFollowUntilThePlayerQuits) {
    const std::wstring path =
        writeFile(L"tool-tests.m3u", "#EXTINF:10,Say \"hi\" \\ o\x1B/\nq.ogg\n#EXTINF:20,Two\nt.ogg\n"
                                     "#EXTINF:30,Three\nr.ogg\n");
    startPlayer(L"--playlist \"" + path + L"\"");
    EXPECT_TRUE(
        contains(output(L"status --json"), L"\"running\":true,\"responding\":true,\"state\":\"pause\""));
    EXPECT_TRUE(contains(output(L"--json text title"),
                         L"{\"name\":\"title\",\"text\":\"Say \\\"hi\\\" \\\\ o\\u001B/\"}"));
    EXPECT_EQ(output(L"playlist --json --limit 1"),
              L"{\"count\":3,\"withText\":3,\"complete\":true,\"mayGoOn\":false,\"entries\":[{\"id\":1,"
              L"\"text\":\"Say "
              L"\\\"hi\\\" \\\\ o\\u001B/\",\"current\":true}]}\n");
    const std::wstring probed = output(L"probe --json");
    EXPECT_TRUE(
        contains(probed, L"\"problems\":0,\"notChecked\":[],\"otherPrograms\":false,\"responding\":true"))
        << narrow(probed);
    // Every check the text lists is in the document too, the passing ones included.
    EXPECT_TRUE(contains(probed,
                         L"{\"ok\":true,\"what\":\"3 playlist texts arrived in the title, each request "
                         L"setting it\"}"))
        << narrow(probed);

    // The quit comes once the first line is out, not after a guessed time.
    RunningProgram follower(hostCommand(L"watch --follow"));
    EXPECT_TRUE(waitUntil([&] { return contains(follower.printed(), L"\n"); }));
    PostMessageW(playerWindow(), kQuit, 0, 0);
    const ProgramRun followed = follower.finish();
    EXPECT_EQ(followed.exitCode, 3u);
    EXPECT_TRUE(contains(followed.errors, L"player-host: player quit")) << narrow(followed.errors);
    EXPECT_TRUE(contains(followed.output, L"0:10 \u23F8 Say \"hi\" \\ o\\x1B/\n")) << narrow(followed.output);
}

// Exit codes and arguments, as a script meets them.
TEST_F(EndToEnd, CommandsThatDoNothingOrAreMistypedSaySo) {
    struct Case {
        const wchar_t* arguments;
        bool player; // the reference player runs
        DWORD exitCode;
        const wchar_t* says; // in the output or the errors
    };
    const Case cases[] = {
        {L"cmd next", false, 3, L"player not running: cmd next needs it"},
        {L"cmd title", false, 0, L"sendCmd(\"title\", 0)"},
        {L"cmd tracktime 5", false, 3, L"player not running: cmd tracktime needs it"}, // a seek
        {L"cmd tracktime 0", false, 0, L"sendCmd(\"tracktime\", 0)"},                  // a setting
        {L"text title 65537", false, 2, L"SIZE must be a number from 1 to 65536"},
        {L"status", false, 3, L"Velmora Player  (player not running)\n"},
        // With --json, one document on every path, errors included.
        {L"--json state shuffle", false, 3, L"{\"error\":\"player not running\",\"exitCode\":3}\n"},
        {L"prop volume 5 --json", false, 3, L"{\"error\":\"player not running\",\"exitCode\":3}\n"},
        {L"--json playlist", false, 3, L"{\"error\":\"player not running\",\"exitCode\":3}\n"},
        {L"--json cmd next", false, 2, L"{\"error\":\"--json is not offered by 'cmd'\",\"exitCode\":2}\n"},
        {L"help --json", false, 2, L"{\"error\":\"--json is not offered by 'help'\",\"exitCode\":2}\n"},
        {L"state shuffle", false, 3, L"player not running"},
        {L"prop volume 5", false, 3, L"player not running"},
        {L"prop volume 9 --raw", false, 3, L"player not running"}, // --raw after the command passes the kind
        {L"--exe \"\" cmd play", false, 1, L"player executable not found: (none given with --exe)"},
        {L"--exe Z:\\no\\such\\player.exe cmd playpause", false, 1,
         L"player executable not found: Z:\\no\\such\\player.exe"},
        {L"--ini \"\" status", false, 2, L"--ini needs a file"},
        {L"help help", false, 0, L"usage: player-host help [COMMAND]"},
        {L"playlist 3 4", true, 2, L"wrong number of arguments for 'playlist'"},
        {L"playlist --limit 99999999999", true, 2, L"--limit 99999999999 is out of range"},
        {L"prop volume 1", true, 2, L"kind 1 does not take 'volume'; it takes kinds 2 to 6"},
        {L"prop tracktime 1", true, 2, L"it takes kinds 2 to 6"},
        {L"prop volume 1 --raw", true, 0, L"0\n"},
        {L"playlist 99 --raw", true, 0, L"invokeMenu(\"*playlist\", 99)"},
        {L"text title 65536", true, 0, L"\u00c5sa Lindqvist - \u00dcber den Wolken\n"},
        {L"text title 0", true, 2,
         L"SIZE must be a number from 1 to 65536 (a size of 0 or less writes nothing"},
        {L"text title 0 --raw", true, 0, L"nothing written: getText writes nothing with a size of 0\n"},
        {L"playlist 9", true, 2, L"playlist: N must be a number from 1 to 8"}, // one past the last
        {L"playlist 8", true, 0, L"invokeMenu(\"*playlist\", 8)"},
        {L"playlist 8 --json", true, 0, L"{\"called\":\"invokeMenu\",\"id\":8}\n"},
        {L"menu 3 --json", true, 0, L"{\"called\":\"invokeCtxMenu\",\"item\":3}\n"},
        {L"menu", true, 0, L"  k=2      Close player\n"}, // a command, not a check box
        {L"menu --json", true, 0, L"{\"kind\":\"command\",\"k\":2,\"text\":\"Close player\"}"},
    };
    for (const bool withPlayer : {false, true}) {
        if (withPlayer)
            startPlayer();
        for (const Case& c : cases) {
            if (c.player != withPlayer)
                continue;
            SCOPED_TRACE(narrow(c.arguments));
            const ProgramRun run = host(c.arguments);
            EXPECT_EQ(run.exitCode, c.exitCode) << narrow(run.output + run.errors);
            EXPECT_TRUE(contains(run.output + run.errors, c.says)) << narrow(run.output + run.errors);
        }
    }
}

// A hang is a line in --follow, not its end; watch prints through it as without a player.
TEST_F(EndToEnd, FollowShowsAHangAsLinesAndEndsWhenThePlayerGoes) {
    auto fake = std::make_unique<FakePlayer>();
    RunningProgram follower(hostCommand(L"watch --follow"));
    ASSERT_TRUE(waitUntil([&] { return contains(follower.printed(), L"\n"); }));
    fake->hangOn(protocol::RM_STATE_PLAYPAUSE); // the next line's first question
    ASSERT_TRUE(waitUntil([&] { return contains(follower.printed(), L"not responding since "); }))
        << narrow(follower.printed());
    const ProgramRun watched = host(L"watch 2");
    EXPECT_EQ(watched.exitCode, 0u) << narrow(watched.errors);
    EXPECT_TRUE(contains(watched.output, L"--:-- \u25A0 player not responding\n")) << narrow(watched.output);
    fake->release(); // hung for three seconds and more: longer than follow used to wait
    ASSERT_TRUE(waitUntil([&] { return contains(follower.printed(), L"answering again at "); }))
        << narrow(follower.printed());
    EXPECT_TRUE(follower.running());
    fake.reset(); // the player goes
    const ProgramRun run = follower.finish();
    EXPECT_EQ(run.exitCode, 3u) << narrow(run.errors);
    EXPECT_TRUE(contains(run.errors, L"player quit")) << narrow(run.errors);
}

// A value that did not arrive is said so, never shown as a value, and the exit code says it.
TEST_F(EndToEnd, AValueThatDidNotArriveIsNeverShownAsAValue) {
    FakePlayer fake;
    fake.answer(protocol::RM_IS_SUPPORTED, 1);
    fake.answer(protocol::RM_GET_MAXVOLUME, 100);
    fake.answer(protocol::RM_GET_VOLUME, 40);
    fake.delayOn(protocol::RM_GET_VOLUME, 1500);
    struct Case {
        const wchar_t* arguments;
        const wchar_t* says;
    };
    for (const Case& c :
         {Case{L"status", L"  Volume   not answered\n"},
          Case{L"status --json", L"\"volume\":null,\"volumeMin\":0,\"volumeMax\":100"},
          Case{L"prop volume 5", L"not answered\n"},
          Case{L"--json prop volume 5", L"\"value\":null,\"error\":\"player not responding"}}) {
        SCOPED_TRACE(narrow(c.arguments));
        const ProgramRun run = host(c.arguments);
        EXPECT_EQ(run.exitCode, 4u) << narrow(run.errors);
        EXPECT_TRUE(contains(run.output, c.says)) << narrow(run.output);
        EXPECT_EQ(std::count(run.output.begin(), run.output.end(), L'{') > 0,
                  contains(c.arguments, L"json")); // one document with --json, none without
        fake.messages();                           // the late answer given, before the next run
    }
}

// status counts exactly what did not arrive: a player hung on the position leaves the
// time and every value asked after it not answered, each counted once.
TEST_F(EndToEnd, StatusCountsEveryValueThatDidNotArrive) {
    FakePlayer fake;
    fake.answer(protocol::RM_IS_SUPPORTED, 1);
    fake.answer(protocol::RM_GET_TRACKLENGTH, 200);
    fake.answer(protocol::RM_GET_MAXVOLUME, 100);
    fake.hangOn(protocol::RM_GET_POSITION);
    // The position, then volume (its bounds too), shuffle, repeat, mute, genre, year,
    // track, caption, ratings and what it offers: 13.
    const ProgramRun run = host(L"status");
    EXPECT_EQ(run.exitCode, 4u);
    EXPECT_TRUE(contains(run.errors, L"player not responding: 13 values did not arrive"))
        << narrow(run.errors);
    EXPECT_TRUE(contains(run.output, L"  Time     not answered   (position not answered)\n"))
        << narrow(run.output);
    fake.release();
    fake.messages();
    fake.hangOn(protocol::RM_GET_POSITION);
    const ProgramRun json = host(L"status --json");
    EXPECT_EQ(json.exitCode, 4u);
    EXPECT_TRUE(contains(json.output,
                         L"\"notAnswered\":13,\"error\":\"player not responding: 13 values did not "
                         L"arrive\""))
        << narrow(json.output);
    fake.release();
}

// What did not arrive is never a value: the plug-in's stand-ins for an absent or silent
// player, a playlist, the menu's ratings; text and JSON tell the same, with the same exit code.
TEST_F(EndToEnd, StandInsAndWhatDidNotArriveAreNeverValues) {
    enum class Player { Absent, Hung, Slow };
    struct Case {
        const wchar_t* arguments;
        Player player;
        DWORD exitCode;
        const wchar_t* says;
    };
    const Case cases[] = {
        {L"text title", Player::Absent, 3, L"player not running\n"},
        {L"text tracktime", Player::Absent, 3,
         L"player not running (the plug-in shows \"--:--\" in its place)"},
        {L"--json text tipcaption", Player::Absent, 3,
         L"{\"name\":\"tipcaption\",\"text\":null,\"standIn\":\"Velmora player\",\"error\":\"player not "
         L"running\",\"exitCode\":3}"},
        {L"status --json", Player::Absent, 3,
         L"\"caption\":null,\"time\":null,\"captionStandIn\":\"Velmora player\",\"timeStandIn\":\"--:--\","
         L"\"error\":\"player not running\",\"exitCode\":3}"},
        {L"text tracktime", Player::Hung, 4,
         L"not answered (player not responding) (the plug-in shows \"--:--\""},
        {L"--json playlist", Player::Hung, 4, L"\"count\":null,\"withText\":null,\"complete\":false"},
        {L"menu 3 --json", Player::Hung, 4,
         L"{\"called\":\"invokeCtxMenu\",\"item\":3,\"error\":\"player not"},
        {L"status", Player::Slow, 4, L"Velmora Player  \u23F8 paused or stopped  (player not responding)\n"},
        {L"status --json", Player::Slow, 4, L"\"responding\":false,\"state\":\"pause\""},
        {L"menu", Player::Slow, 4, L"  (the player did not answer"},
        {L"menu --json", Player::Slow, 4, L"\"ratings\":null"},
    };
    for (const Player kind : {Player::Absent, Player::Hung, Player::Slow}) {
        std::unique_ptr<FakePlayer> fake;
        if (kind != Player::Absent) {
            fake = std::make_unique<FakePlayer>();
            fake->answer(protocol::RM_IS_SUPPORTED, 1);
            fake->answer(protocol::RM_PLAYLIST_COUNT, 3);
            if (kind == Player::Hung)
                fake->hangOnNext();
            else
                fake->delayAll(500);
        }
        for (const Case& c : cases) {
            if (c.player != kind)
                continue;
            SCOPED_TRACE(narrow(c.arguments));
            const ProgramRun run = host(c.arguments);
            EXPECT_EQ(run.exitCode, c.exitCode) << narrow(run.output + run.errors);
            EXPECT_TRUE(contains(run.output, c.says)) << narrow(run.output);
            EXPECT_EQ(std::count(run.output.begin(), run.output.end(), L'\n') == 1 &&
                          run.output.front() == L'{',
                      contains(c.arguments, L"json")); // one document with --json, none without
        }
        if (fake)
            fake->release();
    }
}

// The probe says what it met: a player Windows counts as hung is asked nothing; one
// answering too slowly for the plug-in is a problem, found without waiting on every
// message; and hosts of 13 and 16 messages a second are judged by the plug-in's rule.
TEST_F(EndToEnd, TheProbeSaysWhenAPlayerIsHungOrTooSlowForThePlugIn) {
    {
        FakePlayer fake;
        fake.hangOnNext();
        PostMessageW(fake.window(), protocol::RM_NEXT, 0, 0);
        ASSERT_TRUE(waitUntil([&] { return fake.hanging(); }));
        ASSERT_TRUE(waitUntil([&] { return IsHungAppWindow(fake.window()) != FALSE; }, 10000));
        const ProgramRun run = host(L"probe --json");
        EXPECT_EQ(run.exitCode, 4u);
        EXPECT_TRUE(contains(run.output,
                             L"Windows counts the player as hung (it has taken no messages for 5 s): "
                             L"nothing was asked"))
            << narrow(run.output);
        EXPECT_TRUE(contains(run.output, L"\"slowestMs\":null")) << narrow(run.output);
        fake.release();
    }
    {
        FakePlayer slow;
        slow.answer(protocol::RM_IS_SUPPORTED, 1);
        slow.delayAll(300);
        const ULONGLONG start = GetTickCount64();
        const ProgramRun run = host(L"probe");
        EXPECT_LT(GetTickCount64() - start, 10'000u);
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_TRUE(contains(run.output,
                             L"PROBLEM  answers too slowly for the plug-in: 3 answers in a row took "
                             L"more than 200 ms, so hosts see the player not responding"))
            << narrow(run.output);
        EXPECT_TRUE(contains(run.output, L"the slowest: RM_IS_SUPPORTED 3")) << narrow(run.output);
        EXPECT_TRUE(contains(run.output, L"Not checked, as the player answers too slowly: states"))
            << narrow(run.output);
    }
    struct Pace {
        DWORD each; // ms a message
        unsigned exitCode;
        const wchar_t* model; // what a host of 13 messages a second gets
        const wchar_t* busy;  // and one of 16
    };
    for (const Pace& pace :
         {Pace{30, 0, L"  ok       a host asking 13 messages a second is answered in full\n",
               L"  ok       a host asking 16 messages a second is answered in full\n"},
          Pace{70, 1,
               L"  PROBLEM  a host asking 13 messages a second loses the last 2 answers of every refresh",
               L"  NOTE     a host asking 16 messages a second loses the last 5 answers of every refresh"}}) {
        SCOPED_TRACE(pace.each);
        FakePlayer fake;
        fake.answer(protocol::RM_IS_SUPPORTED, 1);
        fake.answer(protocol::RM_GET_MAXVOLUME, 100);
        fake.delayAll(pace.each);
        const ProgramRun run = host(L"probe");
        EXPECT_EQ(run.exitCode, pace.exitCode) << narrow(run.output);
        EXPECT_TRUE(contains(run.output, pace.model)) << narrow(run.output);
        EXPECT_TRUE(contains(run.output, pace.busy)) << narrow(run.output);
    }
}

TEST_F(EndToEnd, PlaylistCutOffByTheBudgetIsIncomplete) {
    struct Case {
        int count;
        const wchar_t* says;
        const wchar_t* mayGoOn;
    };
    for (const Case& c : {Case{100,
                               L" of 100 entries arrived within the time the plug-in waits on a player (0.8 "
                               L"s at a stretch, 1 s a call)",
                               L"false"},
                          Case{100'000,
                               L" of 65,536 entries arrived within the time the plug-in waits on a player "
                               L"(0.8 s at a stretch, 1 s a call) (the first 65,536 entries, the most "
                               L"the plug-in hands back: the player's list may go on beyond them)",
                               L"true"}}) {
        SCOPED_TRACE(c.count);
        FakePlayer fake;
        fake.answer(protocol::RM_PLAYLIST_COUNT, c.count);
        fake.answerWith(protocol::RM_PLAYLIST_ITEMTEXT, [](WPARAM i) {
            Sleep(50); // the 0.8 s the plug-in waits holds about 16 entries
            return Reply{1, L"Entry " + std::to_wstring(i + 1)};
        });
        const ProgramRun run = host(L"playlist --limit 3");
        EXPECT_EQ(run.exitCode, 5u);
        EXPECT_TRUE(contains(run.errors, c.says)) << narrow(run.errors);
        EXPECT_TRUE(contains(run.output, L"  1. Entry 1\n")) << narrow(run.output);
        EXPECT_EQ(contains(run.output, L"the player's list may go on beyond them"), c.count > 65536)
            << narrow(run.output);
        const ProgramRun json = host(L"playlist --json --limit 3");
        EXPECT_EQ(json.exitCode, 5u);
        EXPECT_TRUE(contains(json.output,
                             L"\"count\":" + std::to_wstring(std::min(c.count, 65536)) + L",\"withText\":"))
            << narrow(json.output);
        EXPECT_TRUE(contains(json.output, L"\"complete\":false,\"mayGoOn\":" + std::wstring(c.mayGoOn)))
            << narrow(json.output);
    }
}

// Two host processes asking one player for texts at the same time each read their own
// replies from its one title (the benchmark's run beside a second process of itself).
TEST_F(EndToEnd, TwoHostProcessesAtOnceReadTheirOwnReplies) {
    const ProgramRun run =
        runProgram(L"\"" + besideProgram(L"player-bench.exe") + L"\" --side-by-side 1500", 120000);
    EXPECT_EQ(run.exitCode, 0u) << narrow(run.output + run.errors);
    EXPECT_TRUE(contains(run.output, L"two threads     0 of 3000 replies crossed")) << narrow(run.output);
    EXPECT_TRUE(contains(run.output, L"two processes   0 of 3000 replies crossed")) << narrow(run.output);
}

// A second host sitting 10 s in its own window procedure during a text request holds
// no other host: the title's turn is held only for the send and the reading of its reply.
TEST(SideBySide, AHostSittingInItsWindowProcedureHoldsNoOtherHost) {
    FakePlayer fake;
    fake.answerText(protocol::RM_TEXT_TITLE, 1, L"A title");
    fake.answer(protocol::RM_GET_VOLUME, 40);
    fake.hangOn(protocol::RM_TEXT_TITLE); // its request waits, with a message for its window queued
    RunningProgram second(L"\"" + besideProgram(L"player-bench.exe") + L"\" --stuck-host-child 10000");
    ASSERT_TRUE(waitUntil([&] { return fake.hanging(); }, 30000));
    fake.release();
    Instance instance;
    const ULONGLONG start = GetTickCount64();
    for (int refresh = 0; refresh < 9; ++refresh) {
        const ULONGLONG due = start + 1000ull * refresh;
        if (due > GetTickCount64())
            Sleep(static_cast<DWORD>(due - GetTickCount64()));
        const ULONGLONG began = GetTickCount64();
        const tools::RefreshAnswers got = tools::hostRefresh(plugin(), instance);
        EXPECT_LT(GetTickCount64() - began, refresh == 0 ? 1500u : 300u) << "refresh " << refresh + 1;
        EXPECT_EQ(got.title, L"A title") << "refresh " << refresh + 1;
    }
    EXPECT_EQ(second.finish(30000).exitCode, 0u); // it read its own title
}

TEST_F(EndToEnd, ProbeCatchesAStaleTitleAndConcludesNothingFromSilence) {
    {
        // A player that leaves the title as it was for an entry without text.
        FakePlayer stale;
        stale.answer(protocol::RM_IS_SUPPORTED, 1);
        stale.answer(protocol::RM_GET_MAXVOLUME, 100);
        stale.answer(protocol::RM_PLAYLIST_COUNT, 3);
        stale.answerWith(protocol::RM_PLAYLIST_ITEMTEXT, [](WPARAM i) {
            return i == 2 ? Reply{0, std::nullopt} : Reply{1, L"Entry " + std::to_wstring(i)};
        });
        const ProgramRun run = host(L"probe");
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_TRUE(contains(run.output,
                             L"PROBLEM  RM_PLAYLIST_ITEMTEXT for entry 3 (index 2) left the title as it was"))
            << narrow(run.output);
    }
    {
        // A failure says what was found and what was expected; the stars follow the rating.
        FakePlayer wild;
        wild.answer(protocol::RM_IS_SUPPORTED, 1);
        wild.answer(protocol::RM_GET_MAXVOLUME, 100);
        wild.answer(protocol::RM_GET_VOLUME, 140);
        wild.answer(protocol::RM_GET_RATING, 4);
        wild.answer(protocol::RM_STATE_RATING4, 1); // only the fourth star, not the first three
        const ProgramRun run = host(L"probe");
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_TRUE(contains(run.output, L"PROBLEM  the volume is 140, expected 0 to 100"))
            << narrow(run.output);
        EXPECT_TRUE(contains(run.output,
                             L"PROBLEM  with the rating 4: RM_STATE_RATING1 is 0, expected nonzero; "
                             L"RM_STATE_RATING2 is 0, expected nonzero; RM_STATE_RATING3 is 0"))
            << narrow(run.output);
        // status draws each star as its indicator says: only the fourth.
        EXPECT_TRUE(contains(host(L"status").output, L"  Rating   \u2606\u2606\u2606\u2605\u2606\n"));
        wild.answer(protocol::RM_GET_RATING, 7);
        EXPECT_TRUE(contains(host(L"probe").output, L"PROBLEM  rating 7, expected 0 to 5"));
    }
    {
        // A seek while paused must leave it paused (PlayerRemote.h); one that starts it is named.
        FakePlayer eager;
        eager.answer(protocol::RM_IS_SUPPORTED, 1);
        eager.answer(protocol::RM_GET_MAXVOLUME, 100);
        eager.answer(protocol::RM_GET_TRACKLENGTH, 200);
        std::atomic<int> position{10}, playing{0};
        eager.answerWith(protocol::RM_SEEK, [&](WPARAM second) {
            position = static_cast<int>(second);
            playing = 1;
            return Reply{};
        });
        eager.answerWith(protocol::RM_GET_POSITION, [&](WPARAM) { return Reply{position, std::nullopt}; });
        eager.answerWith(protocol::RM_STATE_PLAYPAUSE, [&](WPARAM) { return Reply{playing, std::nullopt}; });
        const ProgramRun run = host(L"probe");
        EXPECT_EQ(run.exitCode, 1u);
        EXPECT_TRUE(contains(run.output, L"  ok       RM_SEEK to second 11 while not playing moved there\n"))
            << narrow(run.output);
        EXPECT_TRUE(contains(run.output,
                             L"PROBLEM  RM_SEEK while not playing started the player; expected it to "
                             L"stay paused at that second"))
            << narrow(run.output);
    }
    {
        // Another program asking for texts meanwhile is named, not blamed on the player.
        FakePlayer busy;
        busy.answer(protocol::RM_IS_SUPPORTED, 1);
        playerProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            busy.window(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&servingAnotherProgram)));
        const ProgramRun run = host(L"probe");
        EXPECT_TRUE(contains(run.output, L"NOTE     another program is asking the player for texts"))
            << narrow(run.output);
    }
    {
        FakePlayer hung;
        hung.hangOn(protocol::RM_IS_SUPPORTED);
        const ProgramRun run = host(L"probe");
        hung.release();
        EXPECT_EQ(run.exitCode, 4u);
        EXPECT_TRUE(contains(run.output, L"not checked: RM_PLAYPAUSE")) << narrow(run.output);
        EXPECT_TRUE(contains(run.output,
                             L"Not checked, as the player stopped answering: states, texts, numbers, "
                             L"consistency"))
            << narrow(run.output);
        EXPECT_FALSE(contains(run.output, L"ok ")) << narrow(run.output);
        EXPECT_FALSE(contains(run.output, L"no:  RM_")) << narrow(run.output);
    }
    // The reference player sets an empty title for an entry without text.
    const std::wstring path = writeFile(L"tool-tests.m3u", "#EXTINF:10,A - One\na.ogg\n#EXTINF:10,\nb.ogg\n");
    startPlayer(L"--playlist \"" + path + L"\"");
    const ProgramRun run = host(L"probe");
    EXPECT_EQ(run.exitCode, 0u) << narrow(run.output);
    EXPECT_TRUE(contains(run.output, L"2 playlist texts arrived in the title, each request setting it"));
    EXPECT_TRUE(contains(run.output, L"  ok       RM_SEEK while not playing left the player not playing\n"))
        << narrow(run.output);
}

TEST_F(EndToEnd, SettingsLiveInTheUsersFolderAndTheLogIsEscaped) {
    // Without --ini the settings go to %APPDATA%\player, made at the first save.
    const std::wstring folder = tools::defaultSettingsPath(L"");
    const std::wstring file = folder + L"player-host.ini";
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());
    const ProgramRun toggled = runProgram(L"\"" + besideProgram(L"player-host.exe") + L"\" cmd album");
    EXPECT_EQ(toggled.exitCode, 0u) << narrow(toggled.errors);
    EXPECT_EQ(GetPrivateProfileIntW(L"player", L"scrollAlbum", -1, file.c_str()), 0);
    DeleteFileW(file.c_str());
    RemoveDirectoryW(folder.c_str());

    // The reference player's log goes to the file it names, control characters escaped.
    const std::wstring playlist = writeFile(L"tool-tests.m3u", "#EXTINF:10,Evil\x1B[2J - Bell\nb.ogg\n");
    const std::wstring log = besideProgram(L"tool-tests.log");
    startPlayer(L"--playlist \"" + playlist + L"\" --log \"" + log + L"\"");
    output(L"text title");
    stopPlayer();
    const std::wstring logged = readFile(log);
    EXPECT_TRUE(contains(logged, L"RM_TEXT_TITLE wParam=0 -> 1 \"Evil\\x1B[2J - Bell\"")) << narrow(logged);
    DeleteFileW(log.c_str());

    // Error codes of the system read as words or in hexadecimal.
    const ProgramRun picture = runProgram(L"\"" + besideProgram(L"player-panel.exe") +
                                          L"\" --screenshot Z:\\no\\such\\folder\\x.png");
    EXPECT_EQ(picture.exitCode, 1u);
    EXPECT_TRUE(contains(picture.errors, L"(error 0x80070003)")) << narrow(picture.errors);
}

} // namespace
