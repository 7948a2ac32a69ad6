#include "PanelModel.h"

#include "DisplaySettings.h"

#include <iterator>

namespace player_panel {
namespace {

struct ControlName {
    Control control;
    const wchar_t* capability; // getProp(name, 2)
    const wchar_t* command;    // sendCmd(name, 0)
};

constexpr ControlName kControls[] = {
    {Control::Prev, L"prev", L"prev"},
    {Control::PlayPause, L"playpause", L"playpause"},
    {Control::Stop, L"stop", L"stop"},
    {Control::Next, L"next", L"next"},
    {Control::Shuffle, L"shuffle", L"shuffle"},
    {Control::Repeat, L"repeat", L"repeat"},
    {Control::Mute, L"mute", L"mute"},
    {Control::Playlist, L"*playlist", nullptr},
    {Control::TrackSlider, L"tracktime", nullptr},
    {Control::VolumeSlider, L"volume", nullptr},
};

unsigned bit(Control control) {
    return 1u << static_cast<unsigned>(control);
}

} // namespace

bool PanelState::on(Control control) const {
    switch (control) {
    case Control::Shuffle:
        return shuffle;
    case Control::Repeat:
        return repeat;
    case Control::Mute:
        return mute;
    default:
        break;
    }
    if (control >= Control::Star1 && control <= Control::Star5)
        return stars[static_cast<std::size_t>(static_cast<int>(control) - static_cast<int>(Control::Star1))];
    return false;
}

bool PanelState::offers(Control control) const {
    if (player == PlayerStatus::NotResponding)
        return false; // a click would wait in the player's queue and act when it recovers
    if (player == PlayerStatus::Absent)
        return control == Control::PlayPause; // "playpause" starts the player
    if (control >= Control::Star1 && control <= Control::Star5)
        return ratings;
    return (unsupported & bit(control)) == 0;
}

PanelModel::PanelModel(const tools::PluginLibrary& plugin, PlayerInstance* instance)
    : plugin_(plugin), instance_(instance) {
    wchar_t name[64] = L"";
    plugin_.GetPlayerName(name, 64);
    state_.name = name;
}

PlayerStatus PanelModel::status() const {
    switch (tools::playerPresence(plugin_, instance_)) {
    case tools::PlayerPresence::Answering:
        return PlayerStatus::Running;
    case tools::PlayerPresence::NotAnswering:
        return PlayerStatus::NotResponding;
    case tools::PlayerPresence::Absent:
        break;
    }
    return PlayerStatus::Absent;
}

bool PanelModel::reachable() {
    state_.player = status();
    if (state_.player == PlayerStatus::NotResponding) {
        // What it said before it stopped answering is no longer true.
        state_.time.clear();
        state_.caption.clear();
    }
    return state_.player != PlayerStatus::NotResponding;
}

bool PanelModel::answering() {
    return reachable();
}

void PanelModel::settle() {
    // A player that fell silent during the poll: what it answered before no longer holds.
    if (state_.player == PlayerStatus::Running && status() != PlayerStatus::Running)
        reachable();
}

std::wstring PanelModel::text(const wchar_t* name) const {
    wchar_t buffer[512] = L"";
    plugin_.getText(instance_, name, buffer, static_cast<int>(std::size(buffer)));
    return buffer;
}

bool PanelModel::on(const wchar_t* name) const {
    wchar_t buffer[PLAYER_STATE_CAPACITY] = L"";
    plugin_.getState(instance_, name, buffer);
    return std::wstring(buffer) == L"on" || std::wstring(buffer) == L"play";
}

void PanelModel::pollFast() {
    if (!reachable())
        return;
    state_.time = text(L"tracktime");
    if (state_.player != PlayerStatus::Running)
        return;
    state_.playing = on(L"playpause");
    state_.shuffle = on(L"shuffle");
    state_.repeat = on(L"repeat");
    state_.mute = on(L"mute");
    // Star n is lit while its indicator is on: the rating is n or more (PlayerRemote.h).
    const wchar_t* const marks[] = {L"rating1", L"rating2", L"rating3", L"rating4", L"rating5"};
    for (std::size_t n = 0; n < state_.stars.size(); ++n)
        state_.stars[n] = on(marks[n]);
    state_.volumeLow = plugin_.getProp(instance_, L"volume", 4);
    state_.volumeHigh = plugin_.getProp(instance_, L"volume", 3);
    state_.volume = plugin_.getProp(instance_, L"volume", 5);
    state_.trackLow = plugin_.getProp(instance_, L"tracktime", 4);
    state_.trackHigh = plugin_.getProp(instance_, L"tracktime", 3);
    state_.track = plugin_.getProp(instance_, L"tracktime", 5);
    settle();
}

void PanelModel::pollSlow() {
    if (!reachable())
        return;
    state_.caption = text(L"tipcaption");
    if (state_.player != PlayerStatus::Running) {
        state_.title = state_.artist = state_.album = L"";
        return;
    }
    state_.title = text(L"title");
    state_.artist = text(L"artist");
    state_.album = text(L"album");
    state_.scrollTitle = plugin_.getProp(instance_, L"title", 1) != 0;
    state_.scrollDetails =
        plugin_.getProp(instance_, L"artist", 1) != 0 || plugin_.getProp(instance_, L"album", 1) != 0;
    state_.unsupported = 0;
    for (const ControlName& entry : kControls)
        if (plugin_.getProp(instance_, entry.capability, 2) != 0)
            state_.unsupported |= bit(entry.control);
    state_.ratings = tools::offersRatings(plugin_, instance_);
    state_.remaining = tools::currentSetting(plugin_, instance_, L"trackTime").value_or(1) != 0;
    settle();
}

bool PanelModel::click(const Layout& layout, Control control, int x) {
    if (!reachable())
        return false; // nothing is sent to a player that does not answer, not even a setting's click
    if (control == Control::Time) { // the time display: remaining or elapsed, a saved setting
        plugin_.sendCmd(instance_, L"tracktime", 0);
        state_.remaining = tools::currentSetting(plugin_, instance_, L"trackTime").value_or(1) != 0;
        return true;
    }
    if (!state_.offers(control))
        return false;
    if (control >= Control::Star1 && control <= Control::Star5) {
        const int stars = static_cast<int>(control) - static_cast<int>(Control::Star1) + 1;
        const std::wstring command = L"rating" + std::to_wstring(stars);
        plugin_.sendCmd(instance_, command.c_str(), 0);
        return true;
    }
    if (control == Control::VolumeSlider) {
        const long long value = sliderValue(layout.volumeSlider, x, state_.volumeLow, state_.volumeHigh);
        plugin_.sendCmd(instance_, L"volume", static_cast<int>(value));
        return true;
    }
    if (control == Control::TrackSlider) {
        // Track-time values are seconds plus one, in both directions.
        const long long value = sliderValue(layout.trackSlider, x, state_.trackLow, state_.trackHigh);
        if (value > 0)
            plugin_.sendCmd(instance_, L"tracktime", static_cast<int>(value));
        return value > 0;
    }
    for (const ControlName& entry : kControls)
        if (entry.control == control && entry.command != nullptr) {
            plugin_.sendCmd(instance_, entry.command, 0);
            return true;
        }
    return false;
}

void PanelModel::setSlider(Control slider, long long value) {
    if (!state_.offers(slider))
        return;
    if (slider == Control::VolumeSlider)
        plugin_.sendCmd(instance_, L"volume", static_cast<int>(value));
    else if (slider == Control::TrackSlider && value > 0) // track-time values are seconds plus one
        plugin_.sendCmd(instance_, L"tracktime", static_cast<int>(value));
}

void PanelModel::wheel(int delta) {
    if (reachable() && state_.offers(Control::VolumeSlider) && delta != 0)
        plugin_.sendCmd(instance_, delta > 0 ? L"volumeup" : L"volumedown", 0);
}

} // namespace player_panel
