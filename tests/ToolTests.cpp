// The tools as a user meets them: settings that are never lost or misreported, a
// hung player reported at once, one reference player at a time, playlists in the
// encodings people have, and texts shown safely.
#include "EndToEnd.h"
#include "FakePlayer.h"

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

    const ProgramRun noFile = runProgram(L"\"" + referencePlayer() + L"\" --playlist", 3000);
    EXPECT_EQ(noFile.exitCode, 2u);
    EXPECT_TRUE(contains(noFile.errors, L"--playlist needs a file")) << narrow(noFile.errors);
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
    EXPECT_TRUE(contains(output(L"status --json"), L"\"running\":true,\"state\":\"pause\""));
    EXPECT_TRUE(contains(output(L"--json text title"),
                         L"{\"name\":\"title\",\"text\":\"Say \\\"hi\\\" \\\\ o\\u001B/\"}"));
    EXPECT_EQ(output(L"playlist --json --limit 1"), L"{\"count\":3,\"entries\":[{\"id\":1,\"text\":\"Say "
                                                    L"\\\"hi\\\" \\\\ o\\u001B/\",\"current\":true}]}\n");
    EXPECT_TRUE(contains(output(L"probe --json"), L"\"problems\":0,\"responding\":true"));

    // The quit comes once the first line is out, not after a guessed time.
    RunningProgram follower(hostCommand(L"watch --follow"));
    EXPECT_TRUE(waitUntil([&] { return contains(follower.printed(), L"\n"); }));
    PostMessageW(playerWindow(), kQuit, 0, 0);
    const ProgramRun followed = follower.finish();
    EXPECT_EQ(followed.exitCode, 0u);
    EXPECT_TRUE(contains(followed.output, L"0:10 \u23F8 Say \"hi\" \\ o\\x1B/\n")) << narrow(followed.output);
}

} // namespace
