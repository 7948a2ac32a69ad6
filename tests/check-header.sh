#!/bin/sh
# Compiles include/PlayerPlugin.h as hosts do, in every language mode a host may use:
# C89 (with -pedantic-errors, where the layout checks fall back on negative array
# sizes), C99, C11, C17, and C++98 to C++20, each with every warning an error. Then
# checks that the header leaves defined no macro of its own beyond the ones it
# offers hosts.
#   check-header.sh x86|x64 INCLUDE_DIR
set -u
arch=$1
include=$2
case $arch in
x86) prefix=i686-w64-mingw32 ;;
x64) prefix=x86_64-w64-mingw32 ;;
*) echo "usage: $0 x86|x64 INCLUDE_DIR" >&2; exit 2 ;;
esac
failed=0
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A host that walks the lists and resolves an export the way the header shows.
cat >"$work/host.c" <<'SOURCE'
#include "PlayerPlugin.h"
#define NAME_ONLY(name, meaning) name,
#define EXPORT_NAME(ordinal, identifier, name) name,
static const WCHAR* const commands[] = {PLAYER_COMMANDS(NAME_ONLY) 0};
static const WCHAR* const settings[] = {PLAYER_SETTINGS(NAME_ONLY) 0};
static const char* const exports[] = {PLAYER_EXPORTS(EXPORT_NAME) 0};
int hostSees(HMODULE dll) {
    InitPlayerFn InitPlayer = (InitPlayerFn)(void (*)(void))GetProcAddress(dll, "InitPlayer");
    return (int)(sizeof(PlaylistMenuItem) + sizeof commands + sizeof settings + sizeof exports +
                 sizeof PLAYER_NEEDSAVE) +
           (InitPlayer != 0) + PLAYER_PROP_RUNNING;
}
SOURCE
cp "$work/host.c" "$work/host.cpp"

for mode in c89 c99 c11 c17; do
    "$prefix-gcc" -std=$mode -pedantic-errors -Wall -Wextra -Werror -fsyntax-only -I "$include" "$work/host.c" ||
        { echo "FAIL: PlayerPlugin.h as $mode ($arch)"; failed=1; }
done
for mode in c++98 c++11 c++17 c++20; do
    "$prefix-g++" -std=$mode -pedantic-errors -Wall -Wextra -Werror -fsyntax-only -I "$include" "$work/host.cpp" ||
        { echo "FAIL: PlayerPlugin.h as $mode ($arch)"; failed=1; }
done

# The macros it leaves: its guard, and what it documents for hosts. Nothing else.
offered='PLAYER_COMMANDS
PLAYER_CONTEXT_ITEMS
PLAYER_CONTROLS
PLAYER_EXPORTS
PLAYER_HOTKEYS
PLAYER_HOTKEY_COUNT
PLAYER_NEEDSAVE
PLAYER_PARAM_COUNT
PLAYER_PLAYLIST_FLAG_CURRENT
PLAYER_PLAYLIST_FLAG_ENTRY
PLAYER_PLAYLIST_MAX_ENTRIES
PLAYER_PLAYLIST_NAME
PLAYER_PLUGIN_H
PLAYER_PROPERTY_KINDS
PLAYER_PROP_LOWER
PLAYER_PROP_RUNNING
PLAYER_PROP_SCROLLS
PLAYER_PROP_UNSUPPORTED
PLAYER_PROP_UPPER
PLAYER_PROP_VALUE
PLAYER_SETTINGS
PLAYER_STATES
PLAYER_STATE_CAPACITY
PLAYER_TEXTS'
for mode in c89 c11; do
    left=$(echo '#include "PlayerPlugin.h"' | "$prefix-gcc" -std=$mode -dM -E -I "$include" -x c - |
        sed -n 's/^#define \(PLAYER_[A-Za-z0-9_]*\).*/\1/p' | LC_ALL=C sort)
    if [ "$left" != "$offered" ]; then
        echo "$offered" >"$work/offered"
        echo "FAIL: macros left defined ($mode) beyond those offered, or missing:"
        echo "$left" | diff "$work/offered" - | sed -n 's/^[<>] /  /p'
        failed=1
    fi
done
[ $failed = 0 ] && echo "PlayerPlugin.h: C89, C99, C11, C17, C++98, C++11, C++17, C++20 ($arch); no macro left over"
exit $failed
