#!/usr/bin/env bash
# The bridge at work against mpv, headless, in well under a minute: a private session
# bus, three tagged files, mpv playing them with mpv-mpris, the bridge beside it, and
# the build's player-host and player-panel driving mpv through the plug-in, with
# playerctl, a client of mpv's own, saying what mpv did. Every command is printed
# before its output; the panel's picture goes to X64_BUILD/demo/panel-mpv.png.
#   demo.sh X64_BUILD MPRIS_BRIDGE
set -u
x64=$1 bridge=$2
work=$(mktemp -d)
cleanup() {
    pkill -f "mpv --no-config --ao=null" 2>/dev/null
    [ -n "${bridgePid:-}" ] && kill "$bridgePid" 2>/dev/null && wait "$bridgePid" 2>/dev/null
    [ -n "${busPid:-}" ] && kill "$busPid" 2>/dev/null
    "$x64/wine-session" stop
    rm -rf "$work"
}
trap cleanup EXIT
say() {
    echo
    echo "\$ $*"
}
host() {
    say "player-host $*"
    "$x64/wine-run" "$x64/bin/player-host.exe" --ini "Z:$work/host.ini" "$@"
}
ctl() {
    say "playerctl $*"
    playerctl -p mpv "$@"
}

read -r DBUS_SESSION_BUS_ADDRESS busPid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d ' ')
export DBUS_SESSION_BUS_ADDRESS
echo "== a private session bus, three files made with sox, mpv playing them (mpv-mpris), the bridge"
sox -n --comment "TITLE=Über den Wolken" --add-comment "ARTIST=Åsa Lindqvist" --add-comment "ALBUM=Höhenluft" \
    --add-comment "GENRE=Pop" --add-comment "DATE=2019" "$work/one.ogg" synth 245 sine 440 vol 0.5 2>/dev/null
sox -n --comment "TITLE=夜明けの歌" --add-comment "ARTIST=Kōji Tanaka" --add-comment "ALBUM=東の空" \
    "$work/two.ogg" synth 200 sine 330 vol 0.5 2>/dev/null
sox -n --comment "TITLE=Ọ̀nà Ìfẹ́" --add-comment "ARTIST=Ngozi Adébáyọ̀" "$work/three.ogg" synth 180 sine 550 vol 0.5 2>/dev/null
(cd "$work" && exec mpv --no-config --ao=null --vo=null --idle=yes --pause \
    --script=/usr/lib/mpv-mpris/mpris.so one.ogg two.ogg three.ogg >"$work/mpv.log" 2>&1) &
"$x64/wine-session" start
for _ in $(seq 1 50); do playerctl -p mpv status >/dev/null 2>&1 && break; sleep 0.1; done
"$bridge" --window "$x64/wine-run" "$x64/bin/mpris-window.exe" &
bridgePid=$!
for _ in $(seq 1 50); do
    "$x64/wine-run" "$x64/bin/player-host.exe" --ini "Z:$work/host.ini" state playpause >/dev/null 2>&1 && break
    sleep 0.1
done

host status
host cmd play
sleep 0.3
ctl status
host cmd next
sleep 0.3
ctl metadata title
host text title
host cmd volume 60
sleep 0.3
ctl volume
host cmd tracktime 61
sleep 0.3
ctl position
host probe | tail -n 6
say "player-bench --window 5"
"$x64/wine-run" "$x64/bin/player-bench.exe" --window 5
mkdir -p "$x64/demo"
say "player-panel --screenshot $x64/demo/panel-mpv.png"
"$x64/wine-run" "$x64/bin/player-panel.exe" --ini "Z:$work/panel.ini" --screenshot "Z:$(realpath "$x64")/demo/panel-mpv.png"
