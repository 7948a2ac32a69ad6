#!/bin/sh
# Checks the built player.dll as a host and a user's machine see it: a PE32 (x86)
# or PE32+ (x64) DLL exporting exactly the sixteen plain names with ordinals 1 to
# 16, importing system libraries only, carrying its version resource, and holding
# no build-tree path or link time stamp.
#   check-library.sh DLL x86|x64 [VERSION]
set -u
dll=$1
arch=${2:-x86}
version=${3:-}
case $arch in
x86) objdump=i686-w64-mingw32-objdump format=pei-i386 kind="PE32 i386" ;;
x64) objdump=x86_64-w64-mingw32-objdump format=pei-x86-64 kind="PE32+ x86-64" ;;
*) echo "usage: $0 DLL x86|x64 [VERSION]" >&2; exit 2 ;;
esac
strings=$(echo "$objdump" | sed 's/objdump$/strings/')
failed=0
fail() { echo "FAIL: $*"; failed=1; }

headers=$("$objdump" -p "$dll") || { echo "FAIL: cannot read $dll"; exit 1; }

echo "$headers" | grep -q "file format $format\$" || fail "not a $kind image"
echo "$headers" | grep -Eq '^[[:space:]]+DLL$' || fail "not a DLL"

# The header's list of exports, as "ordinal name" lines.
include=$(cd "$(dirname "$0")/../include" && pwd)
expected=$(printf '#include "PlayerPlugin.h"\n#define LISTED(ordinal, identifier, name) @ordinal name\nPLAYER_EXPORTS(LISTED)\n' |
    "$(echo "$objdump" | sed 's/objdump$/gcc/')" -E -P -I "$include" -x c - | tr '@' '\n' |
    sed -n 's/^\([0-9]*\) "\(.*\)" *$/\1 \2/p')
[ "$(echo "$expected" | wc -l)" = 16 ] || fail "the header's export list does not read as 16 entries"
base=$(echo "$headers" | sed -n 's/^Export Address Table -- Ordinal Base \([0-9]*\).*/\1/p')
[ "$base" = 1 ] || fail "ordinal base is '$base', not 1"
actual=$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*\([0-9]*\)\] \(.*\)$/\1 \2/p' |
    awk -v base="${base:-1}" '{ print $1 + base, $2 }')
if [ "$actual" != "$expected" ]; then
    fail "export table differs"
    echo "expected:"; echo "$expected"; echo "actual:"; echo "$actual"
fi

imports=$(echo "$headers" | sed -n 's/.*DLL Name: //p')
for name in $imports; do
    case $(echo "$name" | tr 'A-Z' 'a-z') in
    kernel32.dll | user32.dll | shell32.dll | shlwapi.dll | advapi32.dll | msvcrt.dll) ;;
    *) fail "imports $name, which is not a system library" ;;
    esac
done
[ -n "$imports" ] || fail "no import table found"

resource=$("$strings" -e l "$dll")
for text in 'InternalName' 'player' 'OriginalFilename' 'player.dll' 'FileVersion' 'ProductVersion' $version; do
    echo "$resource" | grep -qx "$text" || fail "version resource lacks \"$text\""
done

# The numbers of the version resource (VS_FIXEDFILEINFO, after its signature
# 0xFEEF04BD): file and product version, each as major.minor.patch.tweak.
if [ -n "$version" ]; then
    at=$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$dll" | head -n 1 | cut -d: -f1)
    if [ -z "$at" ]; then
        fail "no fixed version record in the version resource"
    else
        set -- $(od -An -tu2 -j $((at + 8)) -N 16 "$dll")
        [ "$2.$1.$4.$3" = "$version" ] || fail "FILEVERSION is $2.$1.$4.$3, not $version"
        [ "$6.$5.$8.$7" = "$version" ] || fail "PRODUCTVERSION is $6.$5.$8.$7, not $version"
    fi
fi

stamp=$(echo "$headers" | sed -n 's/^Time\/Date[[:space:]]*//p')
case $stamp in
*1970*) ;;
*) fail "the image carries a link time ($stamp): two builds would differ" ;;
esac
if "$strings" -a "$dll" | grep -q "$(cd "$(dirname "$0")/.." && pwd)"; then
    fail "the image holds the source tree's path"
fi

if [ $failed = 0 ]; then
    echo "player.dll: $kind DLL, 16 exports with ordinals 1-16, imports: $(echo $imports)"
fi
exit $failed
