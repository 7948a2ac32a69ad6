// ReferencePlayer: the reference player (remote-player.exe, beside the benchmark) in
// its own process for the length of a scope, with a playlist of a given length.
#pragma once

#include <windows.h>

#include <string>

namespace bench {

HWND findPlayer();

class ReferencePlayer {
public:
    // `paused`: it stands on its first entry, so that its texts stay the same.
    explicit ReferencePlayer(int entries, bool paused = false);
    ~ReferencePlayer();
    ReferencePlayer(const ReferencePlayer&) = delete;
    ReferencePlayer& operator=(const ReferencePlayer&) = delete;

    bool running() const { return findPlayer() != nullptr; }

private:
    std::wstring playlist_;
    HANDLE process_ = nullptr;
};

} // namespace bench
