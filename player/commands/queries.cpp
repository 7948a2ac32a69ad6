#include "player/commands/queries.h"

#include "player/boundedCopy.h"
#include "player/commands/nameTable.h"
#include "player/commands/stateTable.h"
#include "player/commands/textTable.h"
#include "player/link/PlayerWindow.h"
#include "player/link/messages.h"

#include <cstdint>
#include <optional>

namespace player {
namespace {

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
    if (!player.present())
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
    // Absent, hung or out of time: no answer, and the host gets what an absent player gives.
    const std::optional<int> answer = player.ask(row->message);
    if (!answer) {
        if (isName(name, L"tipcaption"))
            copyBounded(out, size, kCaptionFallback);
        return;
    }
    if (*answer != 0)
        player.readTitle(out, size);
    else
        out[0] = L'\0'; // a real "no text", whatever the title still holds
}

} // namespace player
