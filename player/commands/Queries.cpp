#include "player/commands/Queries.h"

#include "player/BoundedCopy.h"
#include "player/NameTable.h"
#include "player/PublicNames.h"
#include "player/link/PlayerWindow.h"
#include "player/link/Messages.h"
#include "PlayerPlugin.h"

#include <cstdint>
#include <iterator>
#include <optional>

namespace player::commands {
namespace {

// StateTable: the host's two-valued states, the message that asks the player, and
// the word reported for a nonzero and for a zero answer. There is no "rating0"
// state, although "rating0" is a command.
struct StateRow {
    UINT message;
    const wchar_t* name;
    const wchar_t* textIfNonzero;
    const wchar_t* textIfZero;
};

inline constexpr StateRow StateTable[] = {
    {link::RM_STATE_PLAYPAUSE, L"playpause", L"play", L"pause"},
    {link::RM_STATE_SHUFFLE, L"shuffle", L"on", L"off"},
    {link::RM_STATE_REPEAT, L"repeat", L"on", L"off"},
    {link::RM_STATE_MUTE, L"mute", L"on", L"off"},
    {link::RM_STATE_RATING1, L"rating1", L"on", L"off"},
    {link::RM_STATE_RATING2, L"rating2", L"on", L"off"},
    {link::RM_STATE_RATING3, L"rating3", L"on", L"off"},
    {link::RM_STATE_RATING4, L"rating4", L"on", L"off"},
    {link::RM_STATE_RATING5, L"rating5", L"on", L"off"},
    {0, nullptr, nullptr, nullptr},
};

// The longest answer with its terminator: the host's state buffer holds at least this.
inline constexpr int kStateTextCapacity = PLAYER_STATE_CAPACITY;

// TextTable: the track's text fields. A nonzero answer means the player has put
// the text into its window title. "tracktime" is not a row: it is formatted here
// from the length and position.
inline constexpr MessageRow TextTable[] = {
    {link::RM_TEXT_TITLE, L"title"},       {link::RM_TEXT_ALBUM, L"album"},
    {link::RM_TEXT_ARTIST, L"artist"},     {link::RM_TEXT_TRACKNAME, L"trackname"},
    {link::RM_TEXT_GENRE, L"genre"},       {link::RM_TEXT_YEAR, L"year"},
    {link::RM_TEXT_TRACKNUM, L"tracknum"}, {link::RM_TEXT_TIPCAPTION, L"tipcaption"},
    {link::RM_TEXT_TRACKLEN, L"tracklen"}, {0, nullptr},
};

// The header's lists: the states, and the texts with "tracktime" after the table's rows.
static_assert(rowsNamed(StateTable, kStateNames) && rowCount(StateTable) == std::size(kStateNames));
static_assert(rowsNamed(TextTable, kTextNames) && rowCount(TextTable) + 1 == std::size(kTextNames) &&
              sameText(kTextNames[rowCount(TextTable)], L"tracktime"));

constexpr wchar_t kNoTime[] = L"--:--";
constexpr wchar_t kCaptionFallback[] = L"Velmora player";

void writeTrackTime(link::PlayerWindow& player, const PlayerInstance& instance, wchar_t* out,
                    int size) noexcept {
    // A player that does not answer has no time to show, like an absent one.
    const std::optional<int> length = player.ask(link::RM_GET_TRACKLENGTH);
    if (!length || *length == 0) {
        copyBounded(out, size, kNoTime);
        return;
    }
    const std::optional<int> position = player.ask(link::RM_GET_POSITION);
    if (!position) {
        copyBounded(out, size, kNoTime);
        return;
    }
    // Wide, so that a position far outside the track cannot overflow the difference.
    std::int64_t seconds = *position;
    if (instance.trackTime != 0) {
        seconds = std::int64_t{*length} - *position;
        if (seconds < 0)
            seconds = 0;
    }
    // |seconds| < 2^32, so minutes fit in 32 bits; the remainder keeps the sign of seconds.
    wchar_t text[32];
    wsprintfW(text, L"%d:%02d", static_cast<int>(seconds / 60), static_cast<int>(seconds % 60));
    copyBounded(out, size, text);
}

} // namespace

void queryState(const wchar_t* name, wchar_t* out) noexcept {
    if (out == nullptr)
        return;
    link::PlayerWindow player = link::PlayerWindow::find();
    if (!player.answering())
        return;
    const StateRow* row = findRow(StateTable, name);
    if (row == nullptr)
        return;
    const std::optional<int> answer = player.ask(row->message);
    if (!answer)
        return; // a player that does not answer has no state to report, like an absent one
    copyBounded(out, kStateTextCapacity, *answer != 0 ? row->textIfNonzero : row->textIfZero);
}

void queryText(const PlayerInstance& instance, const wchar_t* name, wchar_t* out, int size) noexcept {
    if (out == nullptr || size <= 0)
        return;
    link::PlayerWindow player = link::PlayerWindow::find();
    if (isName(name, L"tracktime")) {
        writeTrackTime(player, instance, out, size);
        return;
    }
    const MessageRow* row = findRow(TextTable, name);
    if (row == nullptr)
        return;
    // Absent, silent or out of time: no answer, and the host gets what an absent player gives.
    const std::optional<int> answer = player.askText(row->message, 0, out, size);
    if (!answer) {
        if (isName(name, L"tipcaption"))
            copyBounded(out, size, kCaptionFallback);
        return;
    }
    if (*answer == 0)
        out[0] = L'\0'; // a real "no text", whatever the title still holds
}

} // namespace player::commands
