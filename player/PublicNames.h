// The names and texts that include/PlayerPlugin.h lists for hosts, as arrays, so that
// the library's own tables are checked against them when it is built: a name added
// to a table and not to the header, or the other way round, does not compile.
#pragma once

#include "PlayerPlugin.h"

#include <cstddef>

namespace player {

#define PLAYER_FIRST_OF_TWO(first, second) first,
#define PLAYER_SECOND_OF_THREE(first, second, third) second,
#define PLAYER_KIND_AND_NAMES(kind, names, meaning) {kind, names},
inline constexpr const wchar_t* kCommandNames[] = {PLAYER_COMMANDS(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kStateNames[] = {PLAYER_STATES(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kTextNames[] = {PLAYER_TEXTS(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kControlNames[] = {PLAYER_CONTROLS(PLAYER_FIRST_OF_TWO)};
inline constexpr const wchar_t* kContextItemTexts[] = {PLAYER_CONTEXT_ITEMS(PLAYER_SECOND_OF_THREE)};
inline constexpr const wchar_t* kSettingNames[] = {PLAYER_SETTINGS(PLAYER_FIRST_OF_TWO)};
struct KindNames {
    int kind;
    const wchar_t* names; // the names it answers, separated by spaces
};
inline constexpr KindNames kPropertyKinds[] = {PLAYER_PROPERTY_KINDS(PLAYER_KIND_AND_NAMES)};
#undef PLAYER_FIRST_OF_TWO
#undef PLAYER_SECOND_OF_THREE
#undef PLAYER_KIND_AND_NAMES

template <typename Char>
constexpr bool sameText(const Char* a, const Char* b) {
    if (a == nullptr || b == nullptr)
        return a == b;
    while (*a != Char{} && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

// Whether `words` (names separated by single spaces) are the table's row names, in order.
template <typename Row, std::size_t N>
constexpr bool wordsAreRows(const wchar_t* words, const Row (&table)[N]) {
    std::size_t row = 0;
    while (*words != L'\0') {
        if (row >= N || table[row].name == nullptr)
            return false;
        const wchar_t* name = table[row].name;
        while (*name != L'\0' && *name == *words) {
            ++name;
            ++words;
        }
        if (*name != L'\0' || (*words != L' ' && *words != L'\0'))
            return false;
        if (*words == L' ')
            ++words;
        ++row;
    }
    return row == N || table[row].name == nullptr;
}

// The names a kind of the header's list answers.
constexpr const wchar_t* namesOfKind(int kind) {
    for (const KindNames& entry : kPropertyKinds)
        if (entry.kind == kind)
            return entry.names;
    return nullptr;
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
