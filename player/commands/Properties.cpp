#include "player/commands/Properties.h"

#include "player/NameTable.h"
#include "player/PublicNames.h"
#include "player/link/PlayerWindow.h"
#include "player/link/Messages.h"

#include <climits>
#include <cstdint>
#include <iterator>
#include <optional>

namespace player::commands {
namespace {

// CapabilityTable: the controls whose support the host can ask about (getProp
// kind 2). The message becomes the wParam of RM_IS_SUPPORTED; "*playlist" asks
// about the playlist as a whole through RM_PLAYLIST_COUNT.
inline constexpr MessageRow CapabilityTable[] = {
    {link::RM_PLAYPAUSE, L"playpause"},
    {link::RM_PLAY, L"play"},
    {link::RM_PAUSE, L"pause"},
    {link::RM_STOP, L"stop"},
    {link::RM_NEXT, L"next"},
    {link::RM_PREV, L"prev"},
    {link::RM_MUTE, L"mute"},
    {link::RM_QUIT, L"quit"},
    {link::RM_SHUFFLE, L"shuffle"},
    {link::RM_REPEAT, L"repeat"},
    {link::RM_EJECT, L"eject"},
    {link::RM_SETVOLUME, L"volume"},
    {link::RM_SEEK, L"tracktime"},
    {link::RM_PLAYLIST_COUNT, L"*playlist"},
    {0, nullptr},
};

static_assert(rowsNamed(CapabilityTable, kControlNames) &&
              rowCount(CapabilityTable) == std::size(kControlNames));

// The kinds as the header names them for hosts.
enum class Kind : int {
    Scrolls = PLAYER_PROP_SCROLLS,
    Unsupported = PLAYER_PROP_UNSUPPORTED,
    UpperBound = PLAYER_PROP_UPPER,
    LowerBound = PLAYER_PROP_LOWER,
    Current = PLAYER_PROP_VALUE,
    Running = PLAYER_PROP_RUNNING,
};
static_assert(static_cast<int>(Kind::Scrolls) == 1 && static_cast<int>(Kind::Running) == 6 &&
              std::size(kPropertyKinds) == 6);

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

// The names the header lists for each kind are the names these tables answer.
static_assert(wordsAreRows(namesOfKind(PLAYER_PROP_SCROLLS), ScrollTable) &&
              wordsAreRows(namesOfKind(PLAYER_PROP_UPPER), RangeTable) &&
              wordsAreRows(namesOfKind(PLAYER_PROP_LOWER), RangeTable) &&
              wordsAreRows(namesOfKind(PLAYER_PROP_VALUE), RangeTable));

int plusOffset(int answer, int offset) noexcept {
    const std::int64_t value = std::int64_t{answer} + offset;
    return value > INT_MAX ? INT_MAX : static_cast<int>(value);
}

} // namespace

int queryProperty(PlayerInstance& instance, const wchar_t* name, int kind) noexcept {
    link::PlayerWindow player = link::PlayerWindow::find();
    const auto asked = static_cast<Kind>(kind);
    // Absent, or silent: the same answers, "needsave" kept. A silent player due to be
    // asked once is asked by a kind that asks it; what asks nothing answers as for it silent.
    const bool asks = !isName(name, PLAYER_NEEDSAVE) &&
                      (asked == Kind::Unsupported || asked == Kind::UpperBound || asked == Kind::Current);
    if (asks ? !player.answering() : !player.knownAnswering())
        return 0;
    if (isName(name, PLAYER_NEEDSAVE)) {
        const int pending = instance.needSave;
        instance.needSave = 0;
        return pending;
    }
    switch (asked) {
    case Kind::Scrolls: {
        const SettingRow* row = findRow(ScrollTable, name);
        return row ? instance.*row->field : 0;
    }
    case Kind::Unsupported: {
        const MessageRow* row = findRow(CapabilityTable, name);
        if (row == nullptr)
            return 0;
        const std::optional<int> supported = player.ask(link::RM_IS_SUPPORTED, row->message);
        return supported && *supported == 0 ? 1 : 0; // no answer greys nothing out
    }
    case Kind::UpperBound:
    case Kind::LowerBound:
    case Kind::Current: {
        const RangeRow* row = findRow(RangeTable, name);
        if (row == nullptr)
            return 0;
        if (asked == Kind::LowerBound)
            return row->lowerBound;
        const UINT message = asked == Kind::UpperBound ? row->upperMessage : row->currentMessage;
        const std::optional<int> answer = player.ask(message);
        return answer ? plusOffset(*answer, row->offset) : 0;
    }
    case Kind::Running: // knownAnswering() above: the window exists and is not known silent
        return 1;
    default:
        return 0;
    }
}

} // namespace player::commands
