// PanelModel: what the panel shows, asked of the plug-in by polling, and what a click
// asks of it. Painting reads only the cached state: nothing calls the plug-in while
// the panel paints. The panel waits on no player of its own accord: the plug-in
// answers at once for a player it found silent, and the panel reads that from the
// exports (getProp kind 6, and the context menu's items) to show "not responding".
#pragma once

#include "PanelLayout.h"
#include "PluginLibrary.h"

#include <array>
#include <string>

namespace player_panel {

enum class PlayerStatus { Absent, Running, NotResponding };

struct PanelState {
    PlayerStatus player = PlayerStatus::Absent;
    std::wstring name; // the plug-in's display name
    std::wstring title, artist, album, caption, time;
    bool remaining = true; // the time counts down (a display setting)
    bool playing = false, shuffle = false, repeat = false, mute = false;
    bool ratings = false;           // the player offers ratings
    std::array<bool, 5> stars = {}; // star n lit: its indicator is on (the rating is n or more)
    bool scrollTitle = true, scrollDetails = true;
    int volumeLow = 0, volumeHigh = 0, volume = 0;
    int trackLow = 0, trackHigh = 0, track = 0; // seconds plus one
    std::wstring problem; // what the user must know (the settings cannot be saved); empty: none
    // Controls the player does not offer, drawn disabled.
    bool offers(Control control) const;
    // A toggle that is on, or a star that is lit.
    bool on(Control control) const;
    unsigned unsupported = 0; // one bit per Control
};

class PanelModel {
public:
    PanelModel(const tools::PluginLibrary& plugin, PlayerInstance* instance);

    const PanelState& state() const { return state_; }
    // Time and states, about four times a second.
    void pollFast();
    // Texts, capabilities and scroll settings, about once a second.
    void pollSlow();

    // Whether the player answers, or is absent, as the plug-in knows it now; asks
    // nothing of a silent player.
    bool answering();
    // A click on a control at x (sliders use it); true when the plug-in was asked.
    // Clicks, like the wheel, do nothing while the player does not answer.
    bool click(const Layout& layout, Control control, int x);
    void wheel(int delta);
    // A slider set to `value` (track-time values are seconds plus one).
    void setSlider(Control slider, long long value);
    void setProblem(std::wstring problem) { state_.problem = std::move(problem); }

private:
    PlayerStatus status() const;
    bool reachable();
    void settle();
    std::wstring text(const wchar_t* name) const;
    bool on(const wchar_t* name) const;

    const tools::PluginLibrary& plugin_;
    PlayerInstance* instance_;
    PanelState state_;
};

} // namespace player_panel
