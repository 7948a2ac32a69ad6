#include "player/commands/Dispatch.h"

#include "player/NameTable.h"
#include "player/PublicNames.h"
#include "player/link/PlayerWindow.h"
#include "player/link/Launch.h"
#include "player/link/Messages.h"

#include <climits>
#include <cstdint>
#include <iterator>
#include <optional>

namespace player::commands {
namespace {

// CommandTable: the host's command names that become a posted player message.
//
// wParam of the post is the host's value. "playpause" and "play" start the player
// instead when its window is absent; the others are then dropped. RM_SEEK has no
// row: only the "tracktime" rule posts it.
struct CommandRow {
    UINT message;
    const wchar_t* name;
    bool launchIfAbsent;
};

inline constexpr CommandRow CommandTable[] = {
    {link::RM_PLAYPAUSE, L"playpause", true},
    {link::RM_PLAY, L"play", true},
    {link::RM_PAUSE, L"pause", false},
    {link::RM_STOP, L"stop", false},
    {link::RM_NEXT, L"next", false},
    {link::RM_PREV, L"prev", false},
    {link::RM_MUTE, L"mute", false},
    {link::RM_QUIT, L"quit", false},
    {link::RM_SHUFFLE, L"shuffle", false},
    {link::RM_REPEAT, L"repeat", false},
    {link::RM_EJECT, L"eject", false},
    {link::RM_SETVOLUME, L"volume", false},
    {link::RM_RATE0, L"rating0", false},
    {link::RM_RATE1, L"rating1", false},
    {link::RM_RATE2, L"rating2", false},
    {link::RM_RATE3, L"rating3", false},
    {link::RM_RATE4, L"rating4", false},
    {link::RM_RATE5, L"rating5", false},
    {0, nullptr, false},
};

enum class Rule { ToggleDisplay, TrackTime, VolumeUp, VolumeDown };

struct FixedCommandRow {
    const wchar_t* name;
    Rule rule;
    std::int32_t PlayerInstance::*setting; // the display setting it toggles, if any
};

// Compared in this order after the table step; none of them is a CommandTable name.
inline constexpr FixedCommandRow FixedCommands[] = {
    {L"title", Rule::ToggleDisplay, &PlayerInstance::scrollTitle},
    {L"album", Rule::ToggleDisplay, &PlayerInstance::scrollAlbum},
    {L"artist", Rule::ToggleDisplay, &PlayerInstance::scrollArtist},
    {L"trackname", Rule::ToggleDisplay, &PlayerInstance::scrollTrackName},
    {L"tracktime", Rule::TrackTime, &PlayerInstance::trackTime},
    {L"volumeup", Rule::VolumeUp, nullptr},
    {L"volumedown", Rule::VolumeDown, nullptr},
    {nullptr, Rule::ToggleDisplay, nullptr},
};

// Every name of both steps is the header's, in the header's order.
static_assert(rowsNamed(CommandTable, kCommandNames) &&
              rowsNamed(FixedCommands, kCommandNames, rowCount(CommandTable)) &&
              rowCount(CommandTable) + rowCount(FixedCommands) == std::size(kCommandNames));

void toggle(PlayerInstance& instance, std::int32_t PlayerInstance::*setting) noexcept {
    instance.*setting = instance.*setting == 0 ? 1 : 0;
    instance.needSave = 1;
}

void stepVolume(link::PlayerWindow& player, bool up) noexcept {
    // Without both answers there is no step to take: nothing is posted.
    const std::optional<int> max = player.ask(link::RM_GET_MAXVOLUME);
    const std::optional<int> current = max ? player.ask(link::RM_GET_VOLUME) : std::nullopt;
    if (current)
        player.post(link::RM_SETVOLUME,
                    static_cast<WPARAM>(static_cast<UINT>(steppedVolume(*max, *current, up))));
}

} // namespace

int steppedVolume(int max, int current, bool up) noexcept {
    std::int64_t step = max / 10;
    if (step == 0)
        step = 1;
    std::int64_t next = up ? std::int64_t{current} + step : std::int64_t{current} - step;
    if (up && next > max)
        next = max;
    if (!up && next < 0)
        next = 0;
    if (next > INT_MAX)
        next = INT_MAX;
    if (next < INT_MIN)
        next = INT_MIN;
    return static_cast<int>(next);
}

void dispatchCommand(PlayerInstance& instance, const wchar_t* name, int value) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();

    if (const CommandRow* row = findRow(CommandTable, name)) {
        if (player.found()) // a silent player carries it out when it recovers
            player.post(row->message, static_cast<WPARAM>(static_cast<UINT>(value)));
        else if (row->launchIfAbsent)
            link::launchPlayer(instance);
        return; // no fixed name is a table name, so the second step cannot match
    }

    const FixedCommandRow* fixed = findRow(FixedCommands, name);
    if (fixed == nullptr)
        return;
    switch (fixed->rule) {
    case Rule::ToggleDisplay:
        toggle(instance, fixed->setting);
        break;
    case Rule::TrackTime:
        if (value == 0)
            toggle(instance, fixed->setting);
        else // value n seeks to second n - 1; unsigned so that INT_MIN wraps to 0x7FFFFFFF
            player.post(link::RM_SEEK, static_cast<WPARAM>(static_cast<UINT>(value) - 1u));
        break;
    case Rule::VolumeUp:
        stepVolume(player, true);
        break;
    case Rule::VolumeDown:
        stepVolume(player, false);
        break;
    }
}

} // namespace player::commands
