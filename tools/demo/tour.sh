#!/usr/bin/env bash
# A scripted tour of player.dll at work, headless under Wine: player-host drives
# the plug-in, the plug-in drives the reference player. Each host command is shown
# before its output; at the end player-panel draws pictures of the panel, one at 150 %
# (144 DPI); and, given an X display (DEMO_X_DISPLAY), its context menu as the screen
# shows it with no player running.
# Usage: [DEMO_X_DISPLAY=:N] tools/demo/tour.sh BUILD_DIR
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
bin="$build/bin"
run="$build/wine-run"
state="$build/demo"
mkdir -p "$state"
rm -f "$state/player-host.ini"
# The settings file as a user names it: relative to where the tour runs.
ini=$(realpath --relative-to=. "$state/player-host.ini")

# A Wine session of its own, so that the tour never ends a player started in the build's.
export PLAYER_WINEPREFIX="$state/wineprefix"
"$build/wine-session" stop
"$build/wine-session" start
trap '"$build/wine-session" stop' EXIT

# A command that says a value did not arrive exits with its code (3 without a player):
# shown, not an end of the tour.
host() {
    printf '\n$ player-host %s\n' "$*"
    local code=0
    "$run" "$bin/player-host.exe" --ini "$ini" "$@" || code=$?
    [ "$code" = 0 ] || echo "(exit code $code)"
}
quiet() { "$run" "$bin/player-host.exe" --ini "$ini" "$@"; }
section() { printf '\n== %s\n' "$*"; }
# Waits until the plug-in sees the player window come (1) or go (0); kind 6 answers 1
# only while it runs (without a player, prop exits with 3 and prints nothing).
wait_for_player() {
    local seen
    for _ in $(seq 1 50); do
        seen=$(quiet prop anything 6 2>/dev/null | tr -d '\r') || seen=0
        [ "${seen:-0}" = "$1" ] && return 0
        sleep 0.2
    done
    echo "(the player did not $([ "$1" = 1 ] && echo start || echo quit))" >&2
    return 1
}

section "The player is not running"
host status
host text tracktime
host text tipcaption
host menu

section "\"play\" starts the reference player, which starts playing (the command itself is not sent on)"
host cmd play
wait_for_player 1
host status

section "Commands"
host cmd next
host cmd volumeup
host cmd shuffle
host cmd rating4
host menu
host status

section "Playlist and hotkeys"
host playlist
host playlist 5
host playlist
host hotkeys

section "A display setting, saved by the host and restored in its next run"
host text tracktime
host cmd tracktime 0
printf '\n$ cat player-host.ini\n'
tr -d '\r' <"$state/player-host.ini"
host text tracktime
host cmd tracktime 0
host watch 3

section "The panel: pictures of the plug-in as a desktop host shows it"
picture() {
    local file=$1
    shift
    printf '\n$ player-panel --screenshot %s\n' "$file $*"
    "$run" "$bin/player-panel.exe" --ini "$(realpath --relative-to=. "$state/player-panel.ini")" --screenshot "$file" "$@"
    echo "(wrote $file)"
}
quiet playlist 3 >/dev/null # a title and an album in Japanese: the fonts must cover them
quiet cmd rating4 >/dev/null
picture "$(realpath --relative-to=. "$state/panel-playing.png")"
picture "$(realpath --relative-to=. "$state/panel-playing-144dpi.png")" --dpi 144

section "quit"
host cmd quit
wait_for_player 0
host status
picture "$(realpath --relative-to=. "$state/panel-stopped.png")"

# Menus are drawn by the display: on a real one, in a Wine session of its own there.
if [ -n "${DEMO_X_DISPLAY:-}" ]; then
    section "The panel's context menu with no player running, as the screen shows it"
    (
        export PLAYER_X_DISPLAY="$DEMO_X_DISPLAY" PLAYER_WINEPREFIX="$state/wineprefix-x11"
        "$build/wine-session" start
        trap '"$build/wine-session" stop' EXIT
        picture "$(realpath --relative-to=. "$state/panel-menu-stopped.png")" --menu
    )
fi
