// RemoteWindow: the reference player's side of the remote-control protocol.
//
// A hidden top-level window of class "VRX_MEDIA_REMOTE". Every message of the
// protocol is answered as the protocol says: commands act on the Playback, queries
// answer numbers, and text queries put the text into the window title before
// answering nonzero (0 and no title change when there is no such text); a playlist
// entry's text always becomes the title, an empty one too, so that no stale title
// is read as an entry's text. 1328 and 1332 are unanswered. Ratings or the playlist can be switched off,
// which makes RM_IS_SUPPORTED answer 0 for them and their messages answer nothing.
#pragma once

#include "Playback.h"

#include <windows.h>
#include <string>

namespace remote_player {

struct Options {
    bool ratings = true;
    bool playlist = true;
    bool log = false;
    HANDLE logTo = nullptr; // where the log goes: a file, or standard output
    // A player of another pace, for trying hosts against it: every sent message answered
    // after this long, and every `pauseEvery`-th one after a pause of a second first.
    DWORD answerAfter = 0;
    unsigned pauseEvery = 0;
};

class RemoteWindow {
public:
    RemoteWindow(Playback& playback, Options options);
    ~RemoteWindow();

    bool create();
    HWND handle() const { return window_; }

    // Answers one protocol message; public so that it can be driven without a window.
    LRESULT answer(UINT message, WPARAM wParam, bool sent);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    bool supported(UINT message) const;
    LRESULT reply(const std::wstring& text);
    void tick();

    Playback& playback_;
    Options options_;
    HWND window_ = nullptr;
    ULONGLONG lastTick_ = 0;
    unsigned taken_ = 0; // sent messages of the protocol, for pauseEvery
};

} // namespace remote_player
