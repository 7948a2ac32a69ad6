#!/usr/bin/env bash
# Builds Release for x86 and x64 and writes dist/player-VERSION.zip:
#   player-VERSION/x86/player.dll, x64/player.dll      the plug-in for 32- and 64-bit hosts
#   player-VERSION/include/                             headers for host and player authors
#   player-VERSION/examples/                            the examples in C
#   player-VERSION/tools/x86/, tools/x64/               player-host, player-panel and remote-player
#   player-VERSION/README.md, docs/                      the bundle's own README, the documents and the picture
#   player-VERSION/LICENSE, CHANGELOG.md, SHA256SUMS
# The same commit gives the same bytes: no time stamps or build paths in the images,
# and the zip's members carry the commit's time in a fixed order.
#   tools/package/package.sh [--check]   (--check: build again elsewhere and compare)
set -euo pipefail
cd "$(dirname "$0")/../.."

BUILD_ROOT=${BUILD_ROOT:-build}
version=$(sed -n 's/^project(player VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=player-$version
# The commit's own time, so that a rebuild of the same commit dates every member alike.
epoch=$(git log -1 --format=%ct 2>/dev/null || echo 1767225600)

# build_release DIR: both architectures, Release, only what the bundle holds.
build_release() {
    local dir=$1 arch toolchain
    for arch in x86 x64; do
        case $arch in
        x86) toolchain=cmake/i686-w64-mingw32.cmake ;;
        x64) toolchain=cmake/x86_64-w64-mingw32.cmake ;;
        esac
        [ -f "$dir/$arch/build.ninja" ] ||
            cmake -S . -B "$dir/$arch" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
                -DBUILD_TESTING=OFF >/dev/null
        cmake --build "$dir/$arch" --target player player-host remote-player player-panel minimal-host >/dev/null
    done
}

# stage DIR OUT: lays the bundle out under OUT/NAME and zips it to OUT/NAME.zip.
stage() {
    local dir=$1 out=$2 arch
    local root=$out/$name
    rm -rf "$out"
    mkdir -p "$root/include" "$root/examples" "$root/docs"
    for arch in x86 x64; do # Release images are stripped as they are linked
        mkdir -p "$root/$arch" "$root/tools/$arch"
        cp "$dir/$arch/bin/player.dll" "$root/$arch/"
        cp "$dir/$arch/bin/player-host.exe" "$dir/$arch/bin/remote-player.exe" "$dir/$arch/bin/player-panel.exe" \
            "$root/tools/$arch/"
    done
    cp include/*.h "$root/include/"
    cp examples/*.c "$root/examples/"
    # The bundle's reader gets a README of their own: the repository's speaks of building.
    sed "s/@VERSION@/$version/g" tools/package/README.md >"$root/README.md"
    cp docs/*.md docs/panel-playing.png "$root/docs/"
    cp LICENSE CHANGELOG.md "$root/"
    (cd "$root" && find . -type f ! -name SHA256SUMS | sed 's|^\./||' | LC_ALL=C sort | xargs sha256sum >SHA256SUMS)
    find "$root" -type d -exec chmod 755 {} + -o -type f -exec chmod 644 {} +
    find "$root" -exec touch -h -d "@$epoch" {} +
    (cd "$out" && find "$name" -type f | LC_ALL=C sort | TZ=UTC zip -q -X -D "$name.zip" -@)
}

mkdir -p dist
build_release "$BUILD_ROOT/package"
stage "$BUILD_ROOT/package" "$BUILD_ROOT/package/bundle"
cp "$BUILD_ROOT/package/bundle/$name.zip" "dist/$name.zip"
echo "dist/$name.zip"
(cd dist && sha256sum "$name.zip")
for arch in x86 x64; do
    echo "  $arch/player.dll  $(stat -c %s "$BUILD_ROOT/package/bundle/$name/$arch/player.dll") bytes"
done

if [ "${1:-}" = --check ]; then
    # A second build from scratch in another directory must give the same bytes.
    other=$BUILD_ROOT/package-check
    rm -rf "$other"
    build_release "$other"
    stage "$other" "$other/bundle"
    if cmp -s "$BUILD_ROOT/package/bundle/$name.zip" "$other/bundle/$name.zip" &&
        cmp -s "$BUILD_ROOT/package/bundle/$name/SHA256SUMS" "$other/bundle/$name/SHA256SUMS"; then
        echo "check: a second build in $other gives identical files and an identical zip"
        (cd "$other/bundle" && sha256sum "$name.zip")
    else
        echo "check: the second build differs:" >&2
        diff "$BUILD_ROOT/package/bundle/$name/SHA256SUMS" "$other/bundle/$name/SHA256SUMS" >&2 || true
        exit 1
    fi
fi
