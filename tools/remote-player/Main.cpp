// remote-player: a reference player for the remote-control window protocol.
//
// It plays nothing aloud: it simulates playing a playlist and answers every
// message of the protocol from its hidden "VRX_MEDIA_REMOTE" window, for
// demonstrations, end-to-end tests, and player authors who want a correct
// counterpart to compare with.
#include "Console.h"
#include "Playback.h"
#include "Playlist.h"
#include "RemoteWindow.h"
#include "Unique.h"
#include "PlayerRemote.h"

#include "PlayerVersion.h"

#include <windows.h>
#include <string>

namespace {

constexpr wchar_t kUsage[] =
    L"usage: remote-player [--playlist FILE.m3u] [--no-rating] [--no-playlist] [--log [FILE]] [--paused]\n"
    L"                     [--answer-after MS] [--pause-every N]\n"
    L"  --playlist FILE  play an extended M3U file (UTF-8) instead of the built-in demo list\n"
    L"  --no-rating      do not support ratings (RM_IS_SUPPORTED answers 0 for them)\n"
    L"  --no-playlist    do not support the playlist messages\n"
    L"  --log [FILE]     write every message received, with its parameters and answer, to FILE or\n"
    L"                   to the console of the program that started it\n"
    L"  --paused         start paused (it starts playing its list by default; --play is that default)\n"
    L"  --answer-after MS  answer every message after MS milliseconds (0 to 5000): a slow player\n"
    L"  --pause-every N  pause a second before every Nth message: a player that pauses now and then\n"
    L"  --version        print the version and exit\n"
    L"A windowed program: it never opens a console of its own.\n";

constexpr wchar_t kSingleInstance[] = L"Local\\remote-player.single-instance";

int fail(const std::wstring& message, int code = 1) {
    tools::printError(L"remote-player: " + message + L"\n");
    return code;
}

// What shows that a player runs already, in words; empty when nothing does.
std::wstring runningPlayer(bool mutexHeld) {
    if (const HWND window = FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr)) {
        DWORD process = 0;
        GetWindowThreadProcessId(window, &process);
        return L"a window of class " PLAYER_REMOTE_WINDOW_CLASS L" exists, owned by process " +
               std::to_wstring(process);
    }
    if (mutexHeld)
        return L"another remote-player holds " + std::wstring(kSingleInstance) + L" and is making its window";
    return {};
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    tools::useParentConsole();
    const tools::ConsoleOutput console;
    remote_player::Options options;
    std::wstring playlistPath;
    std::wstring logPath;
    bool playAtOnce = true;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--playlist") {
            if (i + 1 >= argc || argv[i + 1][0] == L'\0')
                return fail(L"--playlist needs a file (an M3U playlist)", 2);
            playlistPath = argv[++i];
        } else if (arg == L"--no-rating") {
            options.ratings = false;
        } else if (arg == L"--no-playlist") {
            options.playlist = false;
        } else if (arg == L"--log") {
            options.log = true;
            if (i + 1 < argc && argv[i + 1][0] != L'-')
                logPath = argv[++i];
        } else if (arg == L"--play" || arg == L"--paused") {
            playAtOnce = arg == L"--play";
        } else if (arg == L"--answer-after" || arg == L"--pause-every") {
            const int most = arg == L"--answer-after" ? 5000 : 1'000'000;
            const int least = arg == L"--answer-after" ? 0 : 1;
            const int value = i + 1 < argc ? _wtoi(argv[i + 1]) : -1;
            if (i + 1 >= argc || value < least || value > most || std::to_wstring(value) != argv[i + 1])
                return fail(arg + L" needs a number from " + std::to_wstring(least) + L" to " +
                                std::to_wstring(most),
                            2);
            ++i;
            if (arg == L"--answer-after")
                options.answerAfter = static_cast<DWORD>(value);
            else
                options.pauseEvery = static_cast<unsigned>(value);
        } else if (arg == L"--version") {
            tools::print(L"remote-player " PLAYER_VERSION_WIDE L" (" PLAYER_ARCH_WIDE L")\n");
            return 0;
        } else if (arg == L"--help" || arg == L"-h") {
            tools::print(kUsage);
            return 0;
        } else {
            return fail(L"unknown option " + tools::visible(arg) + L" (try --help)", 2);
        }
    }

    std::vector<remote_player::Track> tracks = remote_player::demoPlaylist();
    if (!playlistPath.empty()) {
        std::wstring error;
        std::wstring warning;
        tracks = remote_player::loadM3u(playlistPath, error, &warning);
        if (tracks.empty())
            return fail(tools::visible(error));
        if (!warning.empty())
            tools::printError(L"remote-player: warning: " + tools::visible(warning) + L"\n");
    }
    // One reference player at a time, race-free: two started at once both see no window
    // yet, but only one gets the mutex. Another player's window counts as well.
    const tools::UniqueHandle instance(CreateMutexW(nullptr, FALSE, kSingleInstance));
    const bool mutexHeld = instance && GetLastError() == ERROR_ALREADY_EXISTS;
    if (!instance)
        return fail(L"cannot create " + std::wstring(kSingleInstance) + L": " +
                    tools::systemMessage(GetLastError()));
    if (const std::wstring found = runningPlayer(mutexHeld); !found.empty())
        return fail(L"a player is already running (" + found + L")");

    tools::UniqueFile logFile;
    if (!logPath.empty()) {
        logFile.reset(CreateFileW(logPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!logFile)
            return fail(L"cannot write the log " + tools::visible(logPath) + L": " +
                        tools::systemMessage(GetLastError()));
    }
    options.logTo = logFile ? logFile.get() : GetStdHandle(STD_OUTPUT_HANDLE);

    remote_player::Playback playback(std::move(tracks), GetTickCount());
    if (playAtOnce)
        playback.play();
    remote_player::RemoteWindow window(playback, options);
    if (!window.create())
        return fail(L"cannot create the remote-control window");
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0)
        DispatchMessageW(&msg);
    return 0;
}
