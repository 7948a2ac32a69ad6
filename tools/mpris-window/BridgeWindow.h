// BridgeWindow: the VRX_MEDIA_REMOTE window of an MPRIS player, for the bridge.
//
// It answers every message of PlayerRemote.h at once, from the last snapshot the
// Linux half sent (bridge/Wire.h), and never waits on anything: the position between
// snapshots is the last one, moved on by the rate and the time passed while playing.
// A value the player did not give is no answer: 0, no text, and RM_IS_SUPPORTED says
// 0 for it. Commands are handed to `command`, which must not wait either.
#pragma once

#include "Wire.h"

#include <windows.h>

#include <functional>
#include <string>

namespace mpris_window {

class BridgeWindow {
public:
    using Command = std::function<void(const std::string& line)>;
    explicit BridgeWindow(Command command) : command_(std::move(command)) {}
    ~BridgeWindow();
    BridgeWindow(const BridgeWindow&) = delete;
    BridgeWindow& operator=(const BridgeWindow&) = delete;

    // A new snapshot, taken at `now` (GetTickCount64): the window is made while a player
    // is followed and destroyed while none is.
    void take(bridge_wire::Snapshot snapshot, ULONGLONG now);
    HWND window() const { return window_; }

    // The answer to one message of the protocol; public so that tests drive it.
    LRESULT answer(UINT message, WPARAM wParam, ULONGLONG now);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT text(const std::optional<std::wstring>& value);
    std::int64_t positionNow(ULONGLONG now) const; // microseconds
    bool supported(UINT message) const;

    Command command_;
    bridge_wire::Snapshot snapshot_;
    ULONGLONG takenAt_ = 0;
    HWND window_ = nullptr;
};

// UTF-8 from the player, as UTF-16; what is not UTF-8 becomes U+FFFD.
std::wstring wide(const std::string& text);

} // namespace mpris_window
