// PanelModel: what the panel shows, asked of the plug-in by polling, and what a click
// asks of it. Painting reads only the cached state: nothing calls the plug-in while
// the panel paints. It asks what it shows at the pace a person sees it: the position
// four times a second, states, texts and the track's length once a second, what the
// player offers when it appears and every fifth second (spread over the polls that
// follow, so that no poll asks much). A value the plug-in did not answer keeps what
// the player said before. The panel waits on no player of its own accord: the plug-in
// answers at once for a player it found silent, and the panel reads that from the
// exports (getProp kind 6, and the context menu's items); it says "not responding"
// once the player has not answered for two seconds, so that a pause or a refresh cut
// short by a slow player does not make it flicker.
#pragma once

#include "PanelLayout.h"
#include "PluginLibrary.h"

#include <array>
#include <string>

namespace player_panel {

// Starting: its window is there, but its title has not come yet.
enum class PlayerStatus { Absent, Starting, Running, NotResponding };

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
    // The poll of tick n, four times a second: the position; at every fourth tick the
    // states, texts and bounds too; what the player offers when it appears, and from
    // tick 1 of every fifth second in three parts. True when a player just appeared:
    // what it offers and says is asked by a poll at once, once "starting" is shown.
    bool poll(unsigned tick);
    // Everything at once: when the panel opens.
    void pollAll();
    // The states, texts and bounds: after a menu's choice.
    void pollSecond();
    // After a command: the position and the states it may have changed.
    void pollAfterCommand();

    // Whether the panel takes the player as answering: present, and not shown as not
    // responding. Asks nothing.
    bool answering() const { return state_.player != PlayerStatus::NotResponding; }
    // A click on a control at x (sliders use it); true when the plug-in was asked.
    // Clicks, like the wheel, do nothing while the player does not answer.
    bool click(const Layout& layout, Control control, int x);
    void wheel(int delta);
    // A slider set to `value` (track-time values are seconds plus one).
    void setSlider(Control slider, long long value);
    void setProblem(std::wstring problem) { state_.problem = std::move(problem); }
    // A display setting flipped through the plug-in, with or without a player; the
    // caller saves the settings.
    enum class DisplaySetting { ScrollTitle, ScrollDetails, Remaining };
    void toggle(DisplaySetting setting);

private:
    // Asks the position, then reads what the plug-in knows of the player; false when
    // nothing more is to be asked (absent, or not answering now).
    bool look();
    void askSecond();
    void askOffered(int part); // 0, 1, 2; -1: all
    std::wstring text(const wchar_t* name, const std::wstring& before, bool* answered = nullptr) const;
    bool on(const wchar_t* name, bool before) const;
    int number(const wchar_t* name, int kind, int before) const;
    void showTime();
    void readSettings();

    const tools::PluginLibrary& plugin_;
    PlayerInstance* instance_;
    PanelState state_;
    ULONGLONG quietSince_ = 0;  // when the player stopped answering; 0: it answers
    bool offeredAsked_ = false; // what it offers was asked since it appeared
};

} // namespace player_panel
