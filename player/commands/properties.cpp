#include "player/commands/properties.h"

#include "player/commands/capabilityTable.h"
#include "player/commands/nameTable.h"
#include "player/link/PlayerWindow.h"
#include "player/link/messages.h"

#include <climits>
#include <cstdint>
#include <optional>

namespace player {
namespace {

enum Kind : int {
    kScrolls = 1,
    kUnsupported = 2,
    kUpperBound = 3,
    kLowerBound = 4,
    kCurrent = 5,
    kAlwaysOne = 6
};

inline constexpr SettingRow ScrollTable[] = {
    {L"title", &PlayerInstance::scrollTitle},
    {L"album", &PlayerInstance::scrollAlbum},
    {L"artist", &PlayerInstance::scrollArtist},
    {L"trackname", &PlayerInstance::scrollTrackName},
    {nullptr, nullptr},
};

// The range controls: volume in the player's units, track time in seconds plus one,
// so that the value 0 stays free for toggling the time display.
struct RangeRow {
    const wchar_t* name;
    UINT upperMessage;
    UINT currentMessage;
    int lowerBound;
    int offset;
};

inline constexpr RangeRow RangeTable[] = {
    {L"volume", link::RM_GET_MAXVOLUME, link::RM_GET_VOLUME, 0, 0},
    {L"tracktime", link::RM_GET_TRACKLENGTH, link::RM_GET_POSITION, 1, 1},
    {nullptr, 0, 0, 0, 0},
};

int plusOffset(int answer, int offset) noexcept {
    const std::int64_t value = std::int64_t{answer} + offset;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

int queryProperty(PlayerInstance& instance, const wchar_t* name, int kind) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();
    if (!player.present())
        return 0;
    if (isName(name, L"needsave")) {
        const int pending = instance.needSave;
        instance.needSave = 0;
        return pending;
    }
    switch (kind) {
    case kScrolls: {
        const SettingRow* row = findRow(ScrollTable, name);
        return row ? instance.*row->field : 0;
    }
    case kUnsupported: {
        const MessageRow* row = findRow(CapabilityTable, name);
        if (row == nullptr)
            return 0;
        const std::optional<int> supported = player.ask(link::RM_IS_SUPPORTED, row->message);
        return supported && *supported == 0 ? 1 : 0; // no answer greys nothing out
    }
    case kUpperBound:
    case kLowerBound:
    case kCurrent: {
        const RangeRow* row = findRow(RangeTable, name);
        if (row == nullptr)
            return 0;
        if (kind == kLowerBound)
            return row->lowerBound;
        const UINT message = kind == kUpperBound ? row->upperMessage : row->currentMessage;
        const std::optional<int> answer = player.ask(message);
        return answer ? plusOffset(*answer, row->offset) : 0;
    }
    case kAlwaysOne:
        return 1;
    default:
        return 0;
    }
}

} // namespace player
