#include "PanelModel.h"

#include "DisplaySettings.h"

#include <algorithm>
#include <utility>
#include <cwchar>
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

namespace {

constexpr ULONGLONG kNotRespondingAfter = 2000; // milliseconds without an answer
constexpr wchar_t kUnanswered = 0xFFFF;         // a unit no answer starts with

} // namespace

std::wstring PanelModel::text(const wchar_t* name, const std::wstring& before, bool* answered) const {
    wchar_t buffer[512];
    buffer[0] = kUnanswered;
    buffer[1] = L'\0';
    plugin_.getText(instance_, name, buffer, static_cast<int>(std::size(buffer)));
    const bool came = buffer[0] != kUnanswered;
    if (answered != nullptr)
        *answered = came;
    return came ? std::wstring(buffer) : before;
}

bool PanelModel::on(const wchar_t* name, bool before) const {
    wchar_t buffer[PLAYER_STATE_CAPACITY] = {kUnanswered, L'\0'};
    plugin_.getState(instance_, name, buffer);
    if (buffer[0] == kUnanswered)
        return before;
    return std::wstring(buffer) == L"on" || std::wstring(buffer) == L"play";
}

int PanelModel::number(const wchar_t* name, int kind, int before) const {
    // 0 is also what a call the plug-in did not ask gives: it then says the player is not asked now.
    const int value = plugin_.getProp(instance_, name, kind);
    return value == 0 && plugin_.getProp(instance_, name, PLAYER_PROP_RUNNING) == 0 ? before : value;
}

void PanelModel::showTime() {
    // As the plug-in writes "tracktime": the remaining or elapsed m:ss, "--:--" without a length.
    const long long length = state_.trackHigh - 1, position = state_.track - 1;
    if (state_.track == 0 || length <= 0) {
        state_.time = L"--:--";
        return;
    }
    const long long seconds = state_.remaining ? std::max(0LL, length - position) : position;
    wchar_t text[32];
    swprintf(text, std::size(text), L"%lld:%02lld", seconds / 60, seconds % 60);
    state_.time = text;
}

bool PanelModel::look() {
    // A call that asks comes first: a silent player's one question is asked by it.
    const int track = plugin_.getProp(instance_, L"tracktime", PLAYER_PROP_VALUE);
    const tools::PlayerPresence presence = tools::playerPresence(plugin_, instance_);
    if (presence == tools::PlayerPresence::Absent) {
        const std::wstring problem = state_.problem;
        const std::wstring name = state_.name;
        state_ = PanelState{};
        state_.name = name;
        state_.problem = problem;
        readSettings();
        quietSince_ = 0;
        offeredAsked_ = false;
        return false;
    }
    if (presence == tools::PlayerPresence::NotAnswering) {
        const ULONGLONG now = GetTickCount64();
        if (quietSince_ == 0)
            quietSince_ = now;
        if (now - quietSince_ >= kNotRespondingAfter && state_.player != PlayerStatus::NotResponding) {
            state_.player = PlayerStatus::NotResponding;
            state_.time.clear(); // what it said before it stopped answering is no longer true
            state_.caption.clear();
        }
        return false;
    }
    quietSince_ = 0;
    if (state_.player == PlayerStatus::Absent)
        state_.player = PlayerStatus::Starting; // until its title comes
    else if (state_.player == PlayerStatus::NotResponding)
        state_.player = PlayerStatus::Running;
    if (track != 0)
        state_.track = track;
    return true;
}

void PanelModel::askSecond() {
    bool titled = false;
    state_.title = text(L"title", state_.title, &titled);
    if (titled && state_.player == PlayerStatus::Starting)
        state_.player = PlayerStatus::Running;
    state_.playing = on(L"playpause", state_.playing);
    state_.artist = text(L"artist", state_.artist);
    state_.album = text(L"album", state_.album);
    state_.volume = number(L"volume", PLAYER_PROP_VALUE, state_.volume);
    state_.trackHigh = number(L"tracktime", PLAYER_PROP_UPPER, state_.trackHigh);
    state_.shuffle = on(L"shuffle", state_.shuffle);
    state_.repeat = on(L"repeat", state_.repeat);
    state_.mute = on(L"mute", state_.mute);
    // Star n is lit while its indicator is on: the rating is n or more (PlayerRemote.h).
    const wchar_t* const marks[] = {L"rating1", L"rating2", L"rating3", L"rating4", L"rating5"};
    for (std::size_t n = 0; state_.ratings && n < state_.stars.size(); ++n)
        state_.stars[n] = on(marks[n], state_.stars[n]);
    state_.caption = text(L"tipcaption", state_.caption);
    readSettings();
}

// The display settings as the plug-in reads them out, with or without a player.
void PanelModel::readSettings() {
    const auto on = [this](const wchar_t* name) {
        return tools::currentSetting(plugin_, instance_, name).value_or(1) != 0;
    };
    state_.scrollTitle = on(L"scrollTitle");
    state_.scrollDetails = on(L"scrollArtist") || on(L"scrollAlbum");
    state_.remaining = on(L"trackTime");
}

void PanelModel::toggle(DisplaySetting setting) {
    // Through the plug-in, as a host changes them: its commands flip one setting each.
    switch (setting) {
    case DisplaySetting::ScrollTitle:
        plugin_.sendCmd(instance_, L"title", 0);
        break;
    case DisplaySetting::ScrollDetails: {
        // The artist and the album share the second line: both scroll, or neither.
        const bool scrolls = state_.scrollDetails;
        for (const auto& [command, key] : {std::pair{L"artist", L"scrollArtist"}, {L"album", L"scrollAlbum"}})
            if ((tools::currentSetting(plugin_, instance_, key).value_or(1) != 0) == scrolls)
                plugin_.sendCmd(instance_, command, 0);
        break;
    }
    case DisplaySetting::Remaining:
        plugin_.sendCmd(instance_, L"tracktime", 0);
        break;
    }
    readSettings();
    showTime();
}

void PanelModel::askOffered(int part) {
    // Five controls a part, then ratings and the bounds that do not change with the track.
    const std::size_t half = std::size(kControls) / 2;
    for (std::size_t i = 0; i < std::size(kControls); ++i) {
        if (part >= 0 && static_cast<std::size_t>(part) != (i < half ? 0u : 1u))
            continue;
        const ControlName& entry = kControls[i];
        const int unsupported = plugin_.getProp(instance_, entry.capability, PLAYER_PROP_UNSUPPORTED);
        if (plugin_.getProp(instance_, entry.capability, PLAYER_PROP_RUNNING) == 0)
            continue; // not asked: what it offered before stands
        state_.unsupported = unsupported != 0 ? state_.unsupported | bit(entry.control)
                                              : state_.unsupported & ~bit(entry.control);
    }
    if (part < 0 || part == 2) {
        state_.ratings = tools::offersRatings(plugin_, instance_);
        state_.volumeHigh = number(L"volume", PLAYER_PROP_UPPER, state_.volumeHigh);
        state_.volumeLow = plugin_.getProp(instance_, L"volume", PLAYER_PROP_LOWER);
        state_.trackLow = plugin_.getProp(instance_, L"tracktime", PLAYER_PROP_LOWER);
    }
}

bool PanelModel::poll(unsigned tick) {
    const bool appeared = state_.player == PlayerStatus::Absent;
    if (!look())
        return false;
    if (appeared)
        return true; // "starting" shown first; everything else asked at once after
    if (!offeredAsked_) {
        askOffered(-1);
        askSecond();
        offeredAsked_ = true;
    } else if (tick % 4 == 0) {
        askSecond();
    } else if (tick % 20 <= 3) {
        askOffered(static_cast<int>(tick % 20) - 1);
    }
    showTime();
    return false;
}

void PanelModel::pollAll() {
    if (!look())
        return;
    askOffered(-1);
    askSecond();
    offeredAsked_ = true;
    showTime();
}

void PanelModel::pollSecond() {
    if (!look())
        return;
    askSecond();
    showTime();
}

void PanelModel::pollAfterCommand() {
    if (!look())
        return;
    state_.playing = on(L"playpause", state_.playing);
    state_.shuffle = on(L"shuffle", state_.shuffle);
    state_.repeat = on(L"repeat", state_.repeat);
    state_.mute = on(L"mute", state_.mute);
    state_.volume = number(L"volume", PLAYER_PROP_VALUE, state_.volume);
    readSettings();
    showTime();
}

bool PanelModel::click(const Layout& layout, Control control, int x) {
    if (!answering())
        return false; // nothing is sent to a player that does not answer, not even a setting's click
    if (control == Control::Time) { // the time display: remaining or elapsed, a saved setting
        toggle(DisplaySetting::Remaining);
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
    if (state_.offers(Control::VolumeSlider) && delta != 0)
        plugin_.sendCmd(instance_, delta > 0 ? L"volumeup" : L"volumedown", 0);
}

} // namespace player_panel
