// The names player-host's cmd, state, text and prop accept, with what each does, as
// a host author reads them in the plug-in's documentation; and the nearest of them
// to a name that is none, for "did you mean".
#pragma once

#include <string>
#include <vector>

namespace player_host {

struct NameHelp {
    std::wstring name;
    std::wstring meaning;
};

enum class NameKind { Command, State, Text };

const std::vector<NameHelp>& namesOf(NameKind kind);
// The names getProp knows for `kind` (1 to 6); empty for kind 6, which takes any name.
const std::vector<NameHelp>& propertyNames(int kind);
const wchar_t* propertyKindMeaning(int kind);

bool isKnown(const std::vector<NameHelp>& names, const std::wstring& name);
// Whether getProp of `kind` answers `name`; kind 6 answers any name.
bool propertyTakes(int kind, const std::wstring& name);
// The kinds that answer `name`, as "2 to 6" or "1 and 6"; empty for a name none knows.
std::wstring kindsTaking(const std::wstring& name);

// What sendCmd with `name` and `value` does while no player runs.
enum class WithoutPlayer { StartsIt, ChangesASetting, DoesNothing };
WithoutPlayer commandWithoutPlayer(const std::wstring& name, int value);
// The known name closest to `name` (at most two edits away), or empty.
std::wstring nearest(const std::vector<NameHelp>& names, const std::wstring& name);

// The whole catalogue, for `player-host names`.
std::wstring namesText();

} // namespace player_host
