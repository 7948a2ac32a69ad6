// The names and texts that include/PlayerPlugin.h lists for hosts, as arrays, so that
// the library's own tables are checked against them when it is built: a name added
// to a table and not to the header, or the other way round, does not compile.
#pragma once

#include "PlayerPlugin.h"

#include <cstddef>

namespace player {

#define PLAYER_FIRST_OF_TWO(first, second) first,
#define PLAYER_SECOND_OF_THREE(first, second, third) second,
inline constexpr const wchar_t* kCommandNames[] = {PLAYER_COMMANDS(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kStateNames[] = {PLAYER_STATES(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kTextNames[] = {PLAYER_TEXTS(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kControlNames[] = {PLAYER_CONTROLS(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kContextItemTexts[] = {PLAYER_CONTEXT_ITEMS(PLAYER_SECOND_OF_THREE)};
#undef PLAYER_FIRST_OF_TWO
#undef PLAYER_SECOND_OF_THREE

constexpr bool sameText(const wchar_t* a, const wchar_t* b) {
    if (a == nullptr || b == nullptr)
        return a == b;
    while (*a != L'\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// The number of rows before a table's end row (the row whose name is null).
template <typename Row, std::size_t N>
constexpr std::size_t rowCount(const Row (&table)[N]) {
    std::size_t count = 0;
    while (count < N && table[count].name != nullptr)
        ++count;
    return count;
}

// Whether the table's rows are named names[first], names[first + 1], ... in order.
template <typename Row, std::size_t N, std::size_t M>
constexpr bool rowsNamed(const Row (&table)[N], const wchar_t* const (&names)[M], std::size_t first = 0) {
    for (std::size_t i = 0; i < rowCount(table); ++i)
        if (first + i >= M || !sameText(table[i].name, names[first + i]))
            return false;
    return true;
}

} // namespace player
