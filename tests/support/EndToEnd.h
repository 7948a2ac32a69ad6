// The end-to-end fixture: the real player-host.exe, player.dll and reference player
// in their own processes, run as a user runs them from a shell.
#pragma once

#include "Process.h"
#include "Protocol.h"
#include "Text.h"
#include "Unique.h"
#include "Plugin.h"

#include <gtest/gtest.h>

#include <string>

namespace testing_support {

inline constexpr UINT kQuit = protocol::RM_QUIT;

inline HWND playerWindow() {
    return FindWindowW(protocol::kWindowClass, nullptr);
}

// This build's reference player, or another build's named by PLAYER_REFERENCE_PLAYER
// (a 64-bit host against the 32-bit player).
inline std::wstring referencePlayer() {
    wchar_t path[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"PLAYER_REFERENCE_PLAYER", path, MAX_PATH);
    if (length > 0 && length < MAX_PATH)
        return path;
    return besideProgram(L"remote-player.exe");
}

class EndToEnd : public testing::Test {
protected:
    EndToEnd() {
        stopPlayer();
        DeleteFileW(ini_.c_str());
    }
    ~EndToEnd() override {
        stopPlayer();
        DeleteFileW(ini_.c_str());
    }

    // player-host with this fixture's settings file and the reference player.
    std::wstring hostCommand(const std::wstring& arguments) const {
        return L"\"" + besideProgram(L"player-host.exe") + L"\" --ini \"" + ini_ + L"\" --exe \"" +
               referencePlayer() + L"\" " + arguments;
    }

    // A run that printed nothing says why: it could not start (and Windows' error), or how
    // it ended.
    ProgramRun host(const std::wstring& arguments) {
        ProgramRun run = runProgram(hostCommand(arguments));
        EXPECT_FALSE(run.output.empty() && run.errors.empty() && run.exitCode != 0)
            << narrow(arguments) << ": printed nothing, exit code " << run.exitCode;
        EXPECT_NE(run.exitCode, static_cast<DWORD>(-1)) << narrow(run.errors);
        return run;
    }

    // The output of a host command that must succeed.
    std::wstring output(const std::wstring& arguments) {
        ProgramRun run = host(arguments);
        EXPECT_EQ(run.exitCode, 0u) << narrow(arguments) << ": " << narrow(run.errors);
        return run.output;
    }

    // Paused unless the options say --play: the times a test reads then stand still.
    void startPlayer(const std::wstring& options = L"") {
        ASSERT_TRUE(startProgram(L"\"" + referencePlayer() + L"\" --paused " + options));
        ASSERT_TRUE(waitUntil([] { return playerWindow() != nullptr; }));
    }

    static void stopPlayer() {
        const HWND window = playerWindow();
        if (window == nullptr)
            return;
        DWORD id = 0;
        GetWindowThreadProcessId(window, &id);
        const tools::UniqueHandle process(OpenProcess(SYNCHRONIZE, FALSE, id));
        PostMessageW(window, kQuit, 0, 0);
        if (process)
            WaitForSingleObject(process.get(), 10000);
        waitUntil([] { return playerWindow() == nullptr; });
    }

    static bool contains(const std::wstring& text, const std::wstring& part) {
        return text.find(part) != std::wstring::npos;
    }

protected:
    std::wstring ini_ = besideProgram(L"end-to-end.ini");
};

} // namespace testing_support
