// The real player.dll, the reference player in its own process, and player-host
// driving them, exactly as a user would from a shell.
#include "EndToEnd.h"

#include <gtest/gtest.h>

#include <cstdio>

#include <string>

using namespace testing_support;
using namespace protocol;

namespace {

TEST_F(EndToEnd, PlayStartsTheAbsentPlayer) {
    const ProgramRun status = host(L"status");
    EXPECT_EQ(status.exitCode, 3u); // not running, as a script can tell
    const std::wstring absent = status.output;
    EXPECT_EQ(absent, L"Velmora Player  (player not running)\n");        // no stand-in shown as a time
    EXPECT_FALSE(contains(absent, L"Velmora player")) << narrow(absent); // one spelling of the name

    output(L"cmd play");
    ASSERT_TRUE(waitUntil([] { return playerWindow() != nullptr; }));
    const std::wstring present = output(L"status");
    EXPECT_TRUE(contains(present, L"Title    \u00c5sa Lindqvist - \u00dcber den Wolken")) << narrow(present);
    EXPECT_TRUE(contains(present, L"\u25B6 playing")); // one press of play is enough
}

TEST_F(EndToEnd, CommandsChangeWhatStatusShows) {
    startPlayer();
    output(L"cmd play");
    output(L"cmd next");
    output(L"cmd volumeup");
    const std::wstring status = output(L"status");
    EXPECT_TRUE(contains(status, L"\u25B6 playing")) << narrow(status);
    EXPECT_TRUE(contains(status, L"Title    Zo\u00eb Marchetti - Caf\u00e9 de Flore")) << narrow(status);
    EXPECT_TRUE(contains(status, L"90 / 100"));
    EXPECT_EQ(output(L"state playpause"), L"play\n");
    output(L"cmd pause");
    EXPECT_EQ(output(L"state playpause"), L"pause\n");
}

TEST_F(EndToEnd, ContextMenuMarksFollowThePlayer) {
    startPlayer();
    std::wstring menu = output(L"menu");
    EXPECT_TRUE(contains(menu, L"[ ] Shuffle")) << narrow(menu);
    EXPECT_TRUE(contains(menu, L"(\u2022) Unrated"));
    output(L"cmd shuffle");
    output(L"cmd rating4");
    menu = output(L"menu");
    EXPECT_TRUE(contains(menu, L"[x] Shuffle")) << narrow(menu);
    EXPECT_TRUE(contains(menu, L"(\u2022) 4 Stars"));
    EXPECT_TRUE(contains(menu, L"( ) Unrated"));
    output(L"menu 3"); // Repeat
    EXPECT_TRUE(contains(output(L"menu"), L"[x] Repeat"));
}

TEST_F(EndToEnd, PlaylistEntryIsPlayed) {
    startPlayer();
    output(L"playlist 3");
    const std::wstring playlist = output(L"playlist");
    EXPECT_TRUE(contains(playlist, L"\u25B6   3. K\u014dji Tanaka - \u591c\u660e\u3051\u306e\u6b4c"))
        << narrow(playlist);
    EXPECT_TRUE(contains(output(L"status"), L"Track 3"));
}

TEST_F(EndToEnd, DisplaySettingsSurviveTwoHostRuns) {
    startPlayer();
    EXPECT_EQ(output(L"prop title 1"), L"1\n");
    EXPECT_TRUE(contains(output(L"cmd title"), L"display settings saved"));
    EXPECT_EQ(output(L"prop title 1"), L"0\n");
    EXPECT_TRUE(contains(output(L"cmd tracktime 0"), L"display settings saved"));
    const std::wstring time = output(L"text tracktime");
    EXPECT_EQ(time, L"0:00\n"); // elapsed time of a stopped track
    EXPECT_TRUE(contains(output(L"cmd title"), L"display settings saved"));
    EXPECT_EQ(output(L"prop title 1"), L"1\n");
}

TEST_F(EndToEnd, QuitLeavesNoWindowAndNoProcess) {
    startPlayer();
    DWORD id = 0;
    GetWindowThreadProcessId(playerWindow(), &id);
    const tools::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
    ASSERT_TRUE(process);
    output(L"cmd quit");
    EXPECT_EQ(WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    EXPECT_EQ(playerWindow(), nullptr);
    EXPECT_TRUE(contains(host(L"status").output, L"(player not running)"));
}

TEST_F(EndToEnd, ReferencePlayerPassesTheProbe) {
    startPlayer(L"--play");
    const ProgramRun run = host(L"probe");
    EXPECT_EQ(run.exitCode, 0u) << narrow(run.output);
    EXPECT_TRUE(contains(run.output, L"Result: 0 problems"));
}

TEST_F(EndToEnd, PlayerWithoutRatingsOrPlaylist) {
    startPlayer(L"--no-rating --no-playlist");
    const std::wstring menu = output(L"menu");
    EXPECT_TRUE(contains(menu, L"(4 items from the plug-in")) << narrow(menu);
    EXPECT_FALSE(contains(menu, L"Rate"));
    EXPECT_EQ(output(L"playlist"), L"(no playlist)\n");
    EXPECT_EQ(output(L"prop *playlist 2"), L"1\n");
    const ProgramRun run = host(L"probe");
    EXPECT_TRUE(contains(run.output, L"no:  RM_RATE0")) << narrow(run.output);
    EXPECT_EQ(run.exitCode, 0u);
}

TEST_F(EndToEnd, PlaylistFileWithNonAsciiText) {
    const std::wstring path = besideProgram(L"end-to-end.m3u");
    const char text[] = "#EXTM3U\n#EXTALB:Sm\xC3\xB6rg\xC3\xA5sbord\n#EXTINF:125,\xC3\x86r\xC3\xB8 - "
                        "F\xC3\xA6rgen \xF0\x9F\x9A\xA2\n"
                        "ferry.ogg\n";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(file, text, sizeof text - 1, &written, nullptr);
    CloseHandle(file);
    startPlayer(L"--playlist \"" + path + L"\"");
    const std::wstring status = output(L"status");
    EXPECT_TRUE(contains(status, L"Title    \u00c6r\u00f8 - F\u00e6rgen \U0001F6A2")) << narrow(status);
    EXPECT_TRUE(contains(status, L"Album    Sm\u00f6rg\u00e5sbord"));
    EXPECT_TRUE(contains(status, L"2:05"));
    DeleteFileW(path.c_str());
}

TEST_F(EndToEnd, ExampleHostInCShowsThePlayerAndCarriesTheSettings) {
    const std::wstring example =
        L"\"" + besideProgram(L"minimal-host.exe") + L"\" \"" + referencePlayer() + L"\"";
    // A C program's standard output in text mode ends its lines with CR LF.
    const auto lines = [](std::wstring text) {
        std::erase(text, L'\r');
        return text;
    };
    ProgramRun absent = runProgram(example);
    absent.output = lines(absent.output);
    EXPECT_EQ(absent.exitCode, 0u) << narrow(absent.errors);
    EXPECT_EQ(absent.output, L"title     \nstate     -\ntime      --:--\nmenu      1 items\n"
                             L"  item    Run default player\nsettings  6 carried over\n");

    startPlayer(L"--play");
    ProgramRun present = runProgram(example);
    present.output = lines(present.output);
    EXPECT_EQ(present.exitCode, 0u) << narrow(present.errors);
    for (const wchar_t* line : {L"title     \u00c5sa Lindqvist - \u00dcber den Wolken\n", L"state     play\n",
                                L"menu      11 items\n  item    Close player\n  item    Repeat\n",
                                L"  now     \u00c5sa Lindqvist - \u00dcber den Wolken\n",
                                L"  entry   Mariana Pe\u00f1a - Se\u00f1ales\nsettings  6 carried over\n"})
        EXPECT_TRUE(contains(present.output, line)) << narrow(line) << narrow(present.output);
}

// The example player a player author starts from: the probe finds nothing wrong, an
// entry without text included, and the example host shows what it plays.
TEST_F(EndToEnd, ExamplePlayerInCConformsAndServesTheExampleHost) {
    const tools::UniqueHandle player = startProgram(L"\"" + besideProgram(L"minimal-player.exe") + L"\"");
    ASSERT_TRUE(player);
    ASSERT_TRUE(waitUntil([] { return playerWindow() != nullptr; }));
    const ProgramRun probe = host(L"probe");
    EXPECT_EQ(probe.exitCode, 0u) << narrow(probe.output);
    EXPECT_TRUE(contains(probe.output, L"Result: 0 problems")) << narrow(probe.output);
    EXPECT_TRUE(contains(probe.output, L"3 playlist texts arrived in the title, each request setting it"));
    EXPECT_TRUE(contains(probe.output, L"no:  (none)")) << narrow(probe.output); // it answers every message

    ProgramRun example = runProgram(L"\"" + besideProgram(L"minimal-host.exe") + L"\"");
    std::erase(example.output, L'\r');
    EXPECT_EQ(example.exitCode, 0u) << narrow(example.errors);
    for (const wchar_t* line :
         {L"title     The Examples - First Light\n", L"state     play\n", L"menu      11 items\n",
          L"  now     The Examples - First Light\n",
          L"  entry   The Examples - Second Wind\n  entry   \nsettings  6 carried over\n"})
        EXPECT_TRUE(contains(example.output, line)) << narrow(line) << narrow(example.output);
    PostMessageW(playerWindow(), kQuit, 0, 0);
    EXPECT_EQ(WaitForSingleObject(player.get(), 10000), WAIT_OBJECT_0);
}

TEST(HostErrors, OneLineInWordsAndTheDocumentedExitCode) {
    struct Case {
        std::wstring arguments;
        DWORD exitCode;
        std::wstring says;
    };
    const Case cases[] = {
        {L"bogus", 2, L"unknown command 'bogus'"},
        {L"", 2, L"no command given"},
        {L"--bogus status", 2, L"unknown option --bogus"},
        {L"prop volume", 2, L"usage: player-host prop NAME KIND"},
        {L"prop volume 7", 2, L"KIND must be a number from 1 to 6"},
        {L"cmd next notanumber", 2, L"VALUE must be"},
        {L"cmd nxt", 2, L"did you mean 'next'?"},
        {L"text title -1", 2, L"SIZE must be a number from 1 to 65536"},
        {L"menu 0", 2, L"no item 0 in the menu now (it offers 1)"},
        {L"menu 11", 2, L"no item 11"},
        {L"playlist", 3, L"player not running"},
        {L"probe", 3, L""},
        {L"--dll Z:\\nowhere\\player.dll status", 1, L"player.dll not found at Z:\\nowhere\\player.dll"},
        {L"--dll \"" + besideProgram(L"launch-recorder.exe") + L"\" status", 1, L"has no export"},
#ifdef _WIN64
        // The x86 build's, where ./run lays the two builds out side by side (build/x86, build/x64).
        {L"--dll \"" + besideProgram(L"..\\..\\x86\\bin\\player.dll") + L"\" status", 1,
         L"player.dll is the 32-bit DLL; a 64-bit host such as this one needs x64\\player.dll"},
#endif
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(narrow(c.arguments));
        const std::wstring otherBuild = besideProgram(L"..\\..\\x86\\bin\\player.dll");
        if (c.arguments.find(otherBuild) != std::wstring::npos &&
            GetFileAttributesW(otherBuild.c_str()) == INVALID_FILE_ATTRIBUTES) {
            std::printf("note: no x86 build at %s (./run test builds it beside this one): not tried\n",
                        narrow(otherBuild).c_str());
            continue;
        }
        const ProgramRun run = runProgram(L"\"" + besideProgram(L"player-host.exe") + L"\" " + c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode);
        if (c.says.empty())
            continue;
        EXPECT_TRUE(run.output.empty()) << narrow(run.output);
        ASSERT_FALSE(run.errors.empty());
        EXPECT_EQ(run.errors.find(L'\n'), run.errors.size() - 1) << narrow(run.errors);
        EXPECT_EQ(run.errors.rfind(L"player-host: ", 0), 0u);
        EXPECT_NE(run.errors.find(c.says), std::wstring::npos) << narrow(run.errors);
    }
}

} // namespace
