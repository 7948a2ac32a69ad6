#include "ReferencePlayer.h"

#include "PluginLibrary.h"
#include "PlayerRemote.h"

namespace bench {
namespace {

std::wstring writePlaylist(int entries) {
    const std::wstring path = tools::besideProgram((L"bench-" + std::to_wstring(entries) + L".m3u").c_str());
    std::string text = "#EXTM3U\n";
    for (int i = 1; i <= entries; ++i)
        text += "#EXTINF:200,Artist " + std::to_string(i) + " - Title number " + std::to_string(i) +
                " \xC3\xA9t\xC3\xA9\n#EXTALB:Album " + std::to_string(i) + "\n#EXTGENRE:Genre " +
                std::to_string(i % 7) + "\nfile" + std::to_string(i) + ".flac\n";
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return path;
}

} // namespace

HWND findPlayer() {
    return FindWindowW(PLAYER_REMOTE_WINDOW_CLASS, nullptr);
}

ReferencePlayer::ReferencePlayer(int entries, bool paused) : playlist_(writePlaylist(entries)) {
    std::wstring line = L"\"" + tools::besideProgram(L"remote-player.exe") + L"\" --playlist \"" + playlist_ +
                        L"\"" + (paused ? L" --paused" : L"");
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        process_ = info.hProcess;
        CloseHandle(info.hThread);
    }
    for (int i = 0; i < 500 && !findPlayer(); ++i)
        Sleep(20);
}

ReferencePlayer::~ReferencePlayer() {
    if (HWND w = findPlayer())
        PostMessageW(w, RM_QUIT, 0, 0);
    if (process_) {
        WaitForSingleObject(process_, 10000);
        CloseHandle(process_);
    }
    DeleteFileW(playlist_.c_str());
}

} // namespace bench
