// findRow: the one lookup rule of every name table.
//
// A table is a constant array of rows with a `name` member, ended by a row whose
// name is null. The walk starts at the first row and stops at the first name that
// compares equal (result 0); the end row, or a null name from the host, means no
// match. An exact match is looked for first, which finds the same row sooner. Names
// compare case-insensitively with lstrcmpiW unless the caller gives another
// comparison (parameter keys use StrCmpIW).
#pragma once

#include <windows.h>
#include <cstddef>

namespace player {

using NameCompare = int(WINAPI*)(const wchar_t*, const wchar_t*);

// The row of a table that only maps a name to a message.
struct MessageRow {
    UINT message;
    const wchar_t* name;
};

inline bool sameUnits(const wchar_t* a, const wchar_t* b) noexcept {
    while (*a != L'\0' && *a == *b) {
        ++a;
        ++b;
    }
    return *a == *b;
}

template <typename Row, std::size_t N>
const Row* findRow(const Row (&table)[N], const wchar_t* name, NameCompare compare = lstrcmpiW) noexcept {
    if (name == nullptr)
        return nullptr;
    // Names as hosts write them are found without a single case-insensitive comparison.
    // The same row as the walk below: no two names of a table compare equal without case.
    for (const Row& row : table) {
        if (row.name == nullptr)
            break;
        if (sameUnits(name, row.name))
            return &row;
    }
    for (const Row& row : table) {
        if (row.name == nullptr)
            return nullptr;
        if (compare(name, row.name) == 0)
            return &row;
    }
    return nullptr;
}

} // namespace player

namespace player {

// A single fixed name handled beside the tables ("tracktime", "needsave", ...).
inline bool isName(const wchar_t* name, const wchar_t* fixedName) noexcept {
    return name != nullptr && lstrcmpiW(name, fixedName) == 0;
}

} // namespace player
