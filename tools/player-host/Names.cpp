#include "Names.h"

#include "PlayerPlugin.h"

#include <algorithm>
#include <cwctype>
#include <iterator>
#include <sstream>

namespace player_host {
namespace {

// Every list comes from the plug-in's header, which the library checks its own tables
// against: what player-host accepts and explains is what the plug-in knows.
#define PLAYER_NAME_HELP(name, meaning) {name, meaning},
const std::vector<NameHelp> kCommands = {PLAYER_COMMANDS(PLAYER_NAME_HELP)};
const std::vector<NameHelp> kStates = {PLAYER_STATES(PLAYER_NAME_HELP)};
const std::vector<NameHelp> kTexts = {PLAYER_TEXTS(PLAYER_NAME_HELP)};
const std::vector<NameHelp> kControls = {PLAYER_CONTROLS(PLAYER_NAME_HELP)};
#undef PLAYER_NAME_HELP

struct KindHelp {
    int kind;
    const wchar_t* names; // separated by spaces
    const wchar_t* meaning;
};
#define PLAYER_KIND_HELP(kind, names, meaning) {kind, names, meaning},
constexpr KindHelp kKinds[] = {PLAYER_PROPERTY_KINDS(PLAYER_KIND_HELP)};
#undef PLAYER_KIND_HELP
static_assert(std::size(kKinds) == 6 && kKinds[0].kind == 1 && kKinds[5].kind == 6, "kinds 1 to 6, in order");

// The names getProp of `kind` answers, "needsave" (which every kind answers) among them.
std::vector<NameHelp> namesOfKind(int kind) {
    std::vector<NameHelp> names;
    if (kind == 2) {
        names = kControls;
    } else if (kind != 6) { // kind 6 takes any name
        std::wistringstream words(kKinds[kind - 1].names);
        for (std::wstring word; words >> word;)
            names.push_back({word, L""});
    }
    if (kind != 6)
        names.push_back({L"needsave", L""});
    return names;
}

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
    static const std::vector<NameHelp> byKind[] = {
        {}, namesOfKind(1), namesOfKind(2), namesOfKind(3), namesOfKind(4), namesOfKind(5), namesOfKind(6)};
    return byKind[kind >= 1 && kind <= 6 ? kind : 0];
}

const wchar_t* propertyKindMeaning(int kind) {
    return kind >= 1 && kind <= 6 ? kKinds[kind - 1].meaning : L"";
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
    for (const KindHelp& help : kKinds) {
        std::wstring names;
        for (const NameHelp& entry : propertyNames(help.kind))
            if (entry.name != L"needsave")
                names += (names.empty() ? L"" : L" ") + entry.name;
        text += L"    " + std::to_wstring(help.kind) + L"  " + help.meaning + L" (" +
                (names.empty() ? std::wstring(L"any name") : names) + L")\n";
    }
    text += L"Names compare without case. --raw passes any name to the plug-in unchecked.\n";
    return text;
}

} // namespace player_host
