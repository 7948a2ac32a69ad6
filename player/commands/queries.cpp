#include "player/commands/queries.h"

#include "player/boundedCopy.h"
#include "player/commands/nameTable.h"
#include "player/commands/stateTable.h"
#include "player/commands/textTable.h"
#include "player/link/PlayerWindow.h"
#include "player/link/messages.h"

#include <cstdint>

namespace player {
namespace {

constexpr wchar_t kNoTime[] = L"--:--";
constexpr wchar_t kCaptionFallback[] = L"Velmora player";

void writeTrackTime(link::PlayerWindow& player, const PlayerInstance& instance, wchar_t* out,
                    int size) noexcept {
    if (!player.present()) {
        copyBounded(out, size, kNoTime);
        return;
    }
    const int length = player.send(link::RM_GET_TRACKLENGTH);
    if (length == 0) {
        copyBounded(out, size, kNoTime);
        return;
    }
    const int position = player.send(link::RM_GET_POSITION);
    // Wide, so that a position far outside the track cannot overflow the difference.
    std::int64_t seconds = position;
    if (instance.trackTime != 0) {
        seconds = std::int64_t{length} - position;
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
    const wchar_t* answer = player.send(row->message) != 0 ? row->textIfNonzero : row->textIfZero;
    copyBounded(out, kStateTextCapacity, answer);
}

void queryText(const PlayerInstance& instance, const wchar_t* name, wchar_t* out, int size) noexcept {
    if (out == nullptr || size <= 0)
        return;
    link::PlayerWindow player = link::PlayerWindow::find();
    if (player.present()) {
        if (const MessageRow* row = findRow(TextTable, name)) {
            if (player.send(row->message) != 0)
                player.readTitle(out, size);
            else
                out[0] = L'\0';
            return; // answered; "tracktime" is no row, and the caption fallback is for an absent player only
        }
    }
    if (isName(name, L"tracktime"))
        writeTrackTime(player, instance, out, size);
    else if (!player.present() && isName(name, L"tipcaption"))
        copyBounded(out, size, kCaptionFallback);
}

} // namespace player
