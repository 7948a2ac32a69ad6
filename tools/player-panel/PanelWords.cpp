#include "PanelWords.h"

#include "PanelPaint.h"

namespace player_panel {
namespace {

std::wstring clock(long long seconds) {
    if (seconds < 0)
        seconds = 0;
    wchar_t text[32];
    wsprintfW(text, L"%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    return text;
}

int starOf(Control control) {
    return static_cast<int>(control) - static_cast<int>(Control::Star1) + 1;
}

bool isStar(Control control) {
    return control >= Control::Star1 && control <= Control::Star5;
}

// The letter that presses the control, as its tooltip names it.
std::wstring keyOf(Control control) {
    for (const ControlKey& key : kControlKeys)
        if (key.control == control)
            return std::wstring(1, key.letter);
    return L"";
}

} // namespace

ControlWords wordsFor(Control control, const PanelState& s) {
    switch (control) {
    case Control::Prev:
        return {L"Previous", keyOf(control),
                L"back to the start of the track, or to the one before in its first seconds"};
    case Control::PlayPause:
        return {s.player == PlayerStatus::Running && s.playing ? L"Pause" : L"Play", keyOf(control),
                s.player == PlayerStatus::Absent ? L"start the player" : L"play or pause"};
    case Control::Stop:
        return {L"Stop", keyOf(control), L"stop"};
    case Control::Next:
        return {L"Next", keyOf(control), L"the next track"};
    case Control::Shuffle:
        return {L"Shuffle", keyOf(control), L"shuffle on or off"};
    case Control::Repeat:
        return {L"Repeat", keyOf(control), L"repeat on or off"};
    case Control::Mute:
        return {L"Mute", keyOf(control), L"mute or unmute"};
    case Control::Playlist:
        return {L"Playlist", keyOf(control), L"show the playlist"};
    case Control::Time:
        return {s.remaining ? L"Time remaining" : L"Time played", keyOf(control),
                s.remaining ? L"show the time played" : L"show the time remaining"};
    case Control::TrackSlider:
        return {L"Position", L"Left, Right, Home, End", L""};
    case Control::VolumeSlider:
        return {L"Volume", L"+, -", L""};
    default:
        break;
    }
    if (isStar(control)) {
        const int n = starOf(control);
        return {L"Rate " + std::to_wstring(n) + (n == 1 ? L" star" : L" stars"), keyOf(control),
                L"rate the track " + std::to_wstring(n) + (n == 1 ? L" star" : L" stars")};
    }
    return {};
}

std::wstring tooltipFor(Control control, const PanelState& state) {
    const ControlWords words = wordsFor(control, state);
    return words.name + (words.keys.empty() ? L"" : L" (" + words.keys + L")") +
           (words.action.empty() ? L"" : L": " + words.action);
}

ElementFacts describe(Control control, const PanelState& s, const Layout& layout, bool focused) {
    const ControlWords words = wordsFor(control, s);
    ElementFacts facts;
    facts.name = words.name;
    facts.keys = words.keys;
    facts.area = rectOf(layout, control);
    facts.action = words.action.empty() ? L"" : L"Press";
    facts.state = STATE_SYSTEM_FOCUSABLE;
    const bool usable =
        control == Control::Time ? s.player != PlayerStatus::NotResponding : s.offers(control);
    if (!usable)
        facts.state |= STATE_SYSTEM_UNAVAILABLE;
    if (focused)
        facts.state |= STATE_SYSTEM_FOCUSED;
    switch (control) {
    case Control::Shuffle:
    case Control::Repeat:
    case Control::Mute:
        facts.role = ROLE_SYSTEM_CHECKBUTTON; // on: checked, as every toggle of the panel says it
        if (usable && s.on(control))
            facts.state |= STATE_SYSTEM_CHECKED;
        break;
    case Control::TrackSlider:
        facts.role = ROLE_SYSTEM_SLIDER;
        if (usable) // track-time values are seconds plus one
            facts.value = clock(s.track - 1LL) + L" of " + clock(s.trackHigh - 1LL);
        break;
    case Control::VolumeSlider:
        facts.role = ROLE_SYSTEM_SLIDER;
        if (usable)
            facts.value = std::to_wstring(s.volume) + L" of " + std::to_wstring(s.volumeHigh);
        break;
    case Control::Time:
        facts.value = timeText(s);
        break;
    default:
        if (isStar(control)) {
            facts.role = ROLE_SYSTEM_CHECKBUTTON;
            if (usable && s.on(control))
                facts.state |= STATE_SYSTEM_CHECKED;
        }
        break;
    }
    return facts;
}

ElementFacts describeLine(bool title, const PanelState& state, const Layout& layout) {
    ElementFacts facts;
    facts.role = ROLE_SYSTEM_STATICTEXT;
    facts.state = STATE_SYSTEM_READONLY;
    facts.name = title ? L"Title" : L"Details";
    facts.value = title ? titleLine(state) : detailsLine(state);
    facts.area = title ? layout.title : layout.details;
    return facts;
}

} // namespace player_panel
