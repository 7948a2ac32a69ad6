#include "Names.h"

#include <algorithm>
#include <cwctype>

namespace player_host {
namespace {

const std::vector<NameHelp> kCommands = {
    {L"playpause", L"play or pause; starts the player when it is not running"},
    {L"play", L"play; starts the player when it is not running"},
    {L"pause", L"pause"},
    {L"stop", L"stop"},
    {L"next", L"next track"},
    {L"prev", L"previous track"},
    {L"mute", L"mute or unmute"},
    {L"quit", L"close the player"},
    {L"shuffle", L"shuffle on or off"},
    {L"repeat", L"repeat on or off"},
    {L"eject", L"eject"},
    {L"volume", L"set the volume to VALUE (see prop volume 3 for the maximum)"},
    {L"volumeup", L"volume up by a tenth of the maximum"},
    {L"volumedown", L"volume down by a tenth of the maximum"},
    {L"rating0", L"rate the track unrated"},
    {L"rating1", L"rate the track 1 star"},
    {L"rating2", L"rate the track 2 stars"},
    {L"rating3", L"rate the track 3 stars"},
    {L"rating4", L"rate the track 4 stars"},
    {L"rating5", L"rate the track 5 stars"},
    {L"title", L"toggle title scrolling (a display setting, saved)"},
    {L"album", L"toggle album scrolling (a display setting, saved)"},
    {L"artist", L"toggle artist scrolling (a display setting, saved)"},
    {L"trackname", L"toggle track-name scrolling (a display setting, saved)"},
    {L"tracktime", L"VALUE 0 toggles elapsed/remaining time (saved); VALUE N seeks to second N - 1, "
                   L"so 61 seeks to 1:00"},
};

const std::vector<NameHelp> kStates = {
    {L"playpause", L"play or pause"}, {L"shuffle", L"on or off"},   {L"repeat", L"on or off"},
    {L"mute", L"on or off"},          {L"rating1", L"1-star mark"}, {L"rating2", L"2-star mark"},
    {L"rating3", L"3-star mark"},     {L"rating4", L"4-star mark"}, {L"rating5", L"5-star mark"},
};

const std::vector<NameHelp> kTexts = {
    {L"title", L"the title line"},
    {L"album", L"the album"},
    {L"artist", L"the artist"},
    {L"trackname", L"the track's name"},
    {L"genre", L"the genre"},
    {L"year", L"the year"},
    {L"tracknum", L"the track number"},
    {L"tracklen", L"the track's length as the player writes it"},
    {L"tracktime", L"remaining or elapsed time, m:ss, or --:-- (see cmd tracktime 0)"},
    {L"tipcaption", L"the tooltip caption"},
};

const std::vector<NameHelp> kScrolling = {
    {L"title", L""}, {L"album", L""}, {L"artist", L""}, {L"trackname", L""}, {L"needsave", L""}};
const std::vector<NameHelp> kControls = {
    {L"playpause", L""}, {L"play", L""},   {L"pause", L""},     {L"stop", L""},      {L"next", L""},
    {L"prev", L""},      {L"mute", L""},   {L"quit", L""},      {L"shuffle", L""},   {L"repeat", L""},
    {L"eject", L""},     {L"volume", L""}, {L"tracktime", L""}, {L"*playlist", L""}, {L"needsave", L""}};
const std::vector<NameHelp> kRanges = {{L"volume", L""}, {L"tracktime", L""}, {L"needsave", L""}};
const std::vector<NameHelp> kAnything = {};

constexpr const wchar_t* kKindMeanings[] = {
    L"",
    L"1 when the text scrolls (title, album, artist, trackname)",
    L"1 when the player does not offer the control",
    L"the upper bound of volume or tracktime (track time in seconds + 1)",
    L"the lower bound of volume or tracktime",
    L"the current value of volume or tracktime (track time in seconds + 1)",
    L"1 for any name while the player runs",
};

std::wstring lower(std::wstring text) {
    for (wchar_t& c : text)
        c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

std::size_t distance(const std::wstring& a, const std::wstring& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::wstring listed(const std::vector<NameHelp>& names) {
    std::wstring text;
    for (const NameHelp& entry : names) {
        std::wstring name = entry.name;
        name.resize(std::max<std::size_t>(name.size() + 2, 13), L' ');
        text += L"    " + name + entry.meaning + L"\n";
    }
    return text;
}

} // namespace

const std::vector<NameHelp>& namesOf(NameKind kind) {
    switch (kind) {
    case NameKind::Command:
        return kCommands;
    case NameKind::State:
        return kStates;
    case NameKind::Text:
        break;
    }
    return kTexts;
}

const std::vector<NameHelp>& propertyNames(int kind) {
    switch (kind) {
    case 1:
        return kScrolling;
    case 2:
        return kControls;
    case 3:
    case 4:
    case 5:
        return kRanges;
    default:
        return kAnything;
    }
}

const wchar_t* propertyKindMeaning(int kind) {
    return kind >= 1 && kind <= 6 ? kKindMeanings[kind] : L"";
}

bool isKnown(const std::vector<NameHelp>& names, const std::wstring& name) {
    // The plug-in compares names without case.
    return std::any_of(names.begin(), names.end(),
                       [&](const NameHelp& entry) { return lower(name) == entry.name; });
}

bool propertyTakes(int kind, const std::wstring& name) {
    return kind == 6 || isKnown(propertyNames(kind), name);
}

std::wstring kindsTaking(const std::wstring& name) {
    std::vector<int> kinds;
    for (int kind = 1; kind <= 5; ++kind)
        if (isKnown(propertyNames(kind), name))
            kinds.push_back(kind);
    if (kinds.empty())
        return {};
    kinds.push_back(6);
    const bool run = kinds.back() - kinds.front() + 1 == static_cast<int>(kinds.size());
    if (run && kinds.size() > 2)
        return std::to_wstring(kinds.front()) + L" to 6";
    std::wstring text;
    for (std::size_t i = 0; i < kinds.size(); ++i)
        text += (i == 0 ? L"" : i + 1 == kinds.size() ? L" and " : L", ") + std::to_wstring(kinds[i]);
    return text;
}

WithoutPlayer commandWithoutPlayer(const std::wstring& name, int value) {
    const std::wstring lowered = lower(name);
    if (lowered == L"play" || lowered == L"playpause")
        return WithoutPlayer::StartsIt;
    for (const wchar_t* toggle : {L"title", L"album", L"artist", L"trackname"})
        if (lowered == toggle)
            return WithoutPlayer::ChangesASetting;
    if (lowered == L"tracktime" && value == 0)
        return WithoutPlayer::ChangesASetting;
    // A name the plug-in does not know does nothing either; --raw passes it for a look at that.
    return isKnown(kCommands, name) ? WithoutPlayer::DoesNothing : WithoutPlayer::ChangesASetting;
}

std::wstring nearest(const std::vector<NameHelp>& names, const std::wstring& name) {
    std::wstring best;
    std::size_t bestDistance = 3;
    for (const NameHelp& entry : names) {
        const std::size_t d = distance(lower(name), entry.name);
        if (d < bestDistance) {
            bestDistance = d;
            best = entry.name;
        }
    }
    return best;
}

std::wstring namesText() {
    std::wstring text = L"cmd NAME [VALUE]  (sendCmd; VALUE defaults to 0)\n" + listed(kCommands);
    text += L"state NAME  (getState)\n" + listed(kStates);
    text += L"text NAME [SIZE]  (getText)\n" + listed(kTexts);
    text += L"prop NAME KIND  (getProp); needsave with any kind answers and clears the pending save\n";
    for (int kind = 1; kind <= 6; ++kind)
        text += L"    " + std::to_wstring(kind) + L"  " + kKindMeanings[kind] + L"\n";
    text += L"Names compare without case. --raw passes any name to the plug-in unchecked.\n";
    return text;
}

} // namespace player_host
