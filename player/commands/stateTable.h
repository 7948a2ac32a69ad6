// StateTable: the host's two-valued states, the message that asks the player, and
// the word reported for a nonzero and for a zero answer. There is no "rating0"
// state, although "rating0" is a command.
#pragma once

#include "player/link/messages.h"
#include "playerPlugin.h"

namespace player {

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

} // namespace player
