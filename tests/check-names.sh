#!/bin/sh
# The library checks its name tables against the lists include/PlayerPlugin.h gives
# hosts when it compiles. A check that cannot fail proves nothing: this compiles each
# checking source once as it is, which must succeed, and once against a copy of the
# header whose list differs from the library's table in one letter (the name keeps its
# length), which must fail.
#   check-names.sh x86|x64 PROJECT_DIR
set -u
arch=$1
project=$2
case $arch in
x86) compiler=i686-w64-mingw32-g++ ;;
x64) compiler=x86_64-w64-mingw32-g++ ;;
*) echo "usage: $0 x86|x64 PROJECT_DIR" >&2; exit 2 ;;
esac
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

compiles() { # SOURCE INCLUDE_DIR
    "$compiler" -std=c++20 -fsyntax-only -DUNICODE -D_UNICODE -DWIN32_LEAN_AND_MEAN -DNOMINMAX \
        -D_WIN32_WINNT=0x0601 -I "$project" -I "$2" "$project/$1" 2>"$work/errors"
}

# source | the header's text | the same with one letter changed
while IFS='|' read -r source original mutant; do
    [ -z "$source" ] && continue
    rm -rf "$work/include" && cp -r "$project/include" "$work/include"
    if ! compiles "$source" "$work/include"; then
        echo "FAIL: $source does not compile against the header as it is"
        sed -n 1,5p "$work/errors"
        failed=1
        continue
    fi
    sed -i "s/$original/$mutant/" "$work/include/PlayerPlugin.h"
    if cmp -s "$project/include/PlayerPlugin.h" "$work/include/PlayerPlugin.h"; then
        echo "FAIL: the header has no $original to change"
        failed=1
    elif compiles "$source" "$work/include"; then
        echo "FAIL: $source compiles although the header says $mutant where its table says $original"
        failed=1
    elif ! grep -q 'static assertion failed\|static_assert' "$work/errors"; then
        echo "FAIL: $source fails with $mutant, but not at its check:"
        sed -n 1,5p "$work/errors"
        failed=1
    fi
done <<'CASES'
player/Settings.cpp|X(L"scrollAlbum"|X(L"scrollAlbun"
player/commands/Dispatch.cpp|X(L"volumeup", L"volume up|X(L"volumeuq", L"volume up
player/commands/Queries.cpp|X(L"mute", L"\\"on\\" while muted|X(L"mutf", L"\\"on\\" while muted
player/commands/Queries.cpp|X(L"tracknum", L"the track number|X(L"tracknun", L"the track number
player/commands/Properties.cpp|X(L"eject", L"")|X(L"ejecu", L"")
player/commands/Properties.cpp|L"title album artist trackname"|L"title album artist tracknamf"
player/commands/Properties.cpp|X(PLAYER_PROP_LOWER, L"volume tracktime"|X(PLAYER_PROP_LOWER, L"volume tracktimf"
player/menus/ContextMenu.cpp|X(4, L"Shuffle"|X(4, L"Shufflf"
player/Exports.cpp|X(15, sendCmd, "sendCmd")|X(15, sendCmd, "sendCme")
CASES
[ $failed = 0 ] && echo "PlayerPlugin.h: each of its name lists checked by the library; one letter changed fails to compile ($arch)"
exit $failed
