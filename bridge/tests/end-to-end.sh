#!/usr/bin/env bash
# The bridge against a real player: Debian's mpv with mpv-mpris, and the tests' own
# MPRIS player, on a private session bus, headless. Hosts' view through player-host (the
# Windows build's, under Wine) as a host calls the plug-in; mpv's own view through
# playerctl, a client of its own.
#   end-to-end.sh X64_BUILD MPRIS_BRIDGE TEST_PLAYER
set -u
x64=$1 bridge=$2 testplayer=$3
work=$(mktemp -d)
chmod 711 "$work" # VLC, which refuses to run as root, runs as a user of its own below
vlcUser=player-vlc
failures=0
host() { "$x64/wine-run" "$x64/bin/player-host.exe" --ini "Z:$work/host.ini" "$@"; }

ok() { echo "ok    $1"; }
fail() {
    echo "FAIL  $1"
    failures=$((failures + 1))
}
# check WHAT EXPECTED ACTUAL
check() { if [ "$2" == "$3" ]; then ok "$1"; else fail "$1: expected [$2], got [$3]"; fi; }
# eventually WHAT EXPECTED COMMAND...: the command's output, asked until it is EXPECTED (5 s)
eventually() {
    local what=$1 expected=$2 got=
    shift 2
    for _ in $(seq 1 50); do
        got=$("$@" 2>/dev/null)
        [ "$got" == "$expected" ] && break
        sleep 0.1
    done
    check "$what" "$expected" "$got"
}
# near WHAT A B: two numbers of seconds within one of each other
near() {
    if awk -v a="$2" -v b="$3" 'BEGIN { d = a - b; exit !(d <= 1 && d >= -1) }'; then ok "$1 ($2, $3)"; else fail "$1: $2 and $3 are more than 1 s apart"; fi
}
mpvPid() { pgrep -f "mpv --no-config --ao=null" | head -n 1; }
startMpv() {
    (cd "$work" && exec mpv --no-config --ao=null --vo=null --idle=yes --pause \
        --script=/usr/lib/mpv-mpris/mpris.so one.ogg two.ogg three.ogg >"$work/mpv.log" 2>&1) &
    for _ in $(seq 1 50); do
        playerctl -p mpv status >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "mpv did not come on the bus"
}

cleanup() {
    kill -CONT "$(mpvPid)" 2>/dev/null
    pkill -f "mpv --no-config --ao=null" 2>/dev/null
    [ -n "${playerPid:-}" ] && kill "$playerPid" 2>/dev/null
    pkill -u "$vlcUser" -x vlc 2>/dev/null
    [ -n "${bridgePid:-}" ] && kill "$bridgePid" 2>/dev/null && wait "$bridgePid" 2>/dev/null
    [ -n "${busPid:-}" ] && kill "$busPid" 2>/dev/null
    exec 7>&- 2>/dev/null
    "$x64/wine-session" stop
    rm -rf "$work"
}
trap cleanup EXIT

# A private session bus (that lets in another user of this machine too), and tagged
# files in three scripts.
cat >"$work/bus.conf" <<END
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$work/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
END
busPid=$(dbus-daemon --config-file="$work/bus.conf" --fork --print-pid=1)
chmod 666 "$work/bus"
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/bus
sox -n --comment "TITLE=Über den Wolken" --add-comment "ARTIST=Åsa Lindqvist" --add-comment "ALBUM=Höhenluft" \
    --add-comment "GENRE=Pop" --add-comment "DATE=2019" "$work/one.ogg" synth 30 sine 440 vol 0.5 2>/dev/null
sox -n --comment "TITLE=夜明けの歌" --add-comment "ARTIST=Kōji Tanaka" --add-comment "ALBUM=東の空" \
    "$work/two.ogg" synth 20 sine 330 vol 0.5 2>/dev/null
sox -n --comment "TITLE=Ọ̀nà Ìfẹ́" --add-comment "ARTIST=Ngozi Adébáyọ̀" "$work/three.ogg" synth 25 sine 550 vol 0.5 2>/dev/null

"$x64/wine-session" start
startMpv
"$bridge" --window "$x64/wine-run" "$x64/bin/mpris-window.exe" 2>"$work/bridge.log" &
bridgePid=$!
eventually "the plug-in sees mpv's window" "Åsa Lindqvist - Über den Wolken" host text title

echo "== what mpv says, the plug-in shows"
check "artist" "$(playerctl -p mpv metadata xesam:artist)" "$(host text artist)"
check "album" "$(playerctl -p mpv metadata xesam:album)" "$(host text album)"
check "length in seconds + 1" "$(($(playerctl -p mpv metadata mpris:length) / 1000000 + 1))" "$(host prop tracktime 3)"
near "position" "$(($(host prop tracktime 5) - 1))" "$(playerctl -p mpv position)"
check "the time" "0:30" "$(host text tracklen)"
check "mute, eject and ratings unsupported" "1 1" "$(host prop mute 2) $(host prop eject 2)"
check "no playlist from mpv, which offers no track list" "(no playlist)" "$(host playlist)"

echo "== every command changes mpv, as playerctl reads it"
host cmd play >/dev/null
eventually "play" "Playing" playerctl -p mpv status
near "the position moves on while it plays" "$(($(host prop tracktime 5) - 1))" "$(playerctl -p mpv position)"
host cmd pause >/dev/null
eventually "pause" "Paused" playerctl -p mpv status
host cmd next >/dev/null
eventually "next" "夜明けの歌" playerctl -p mpv metadata title
eventually "the title follows" "Kōji Tanaka - 夜明けの歌" host text title
host cmd prev >/dev/null
eventually "prev" "Über den Wolken" playerctl -p mpv metadata title
host cmd volume 40 >/dev/null
eventually "volume" "0.400000" playerctl -p mpv volume
host cmd tracktime 11 >/dev/null # second 10
sleep 0.5
near "seek" "10" "$(playerctl -p mpv position)"
host cmd repeat >/dev/null
eventually "repeat on" "Playlist" playerctl -p mpv loop
eventually "repeat on, as the plug-in says" "on" host state repeat
host cmd repeat >/dev/null
eventually "repeat off" "None" playerctl -p mpv loop
host cmd shuffle >/dev/null
sleep 0.5
check "shuffle, as both see it" "$(playerctl -p mpv shuffle | tr 'A-Z' 'a-z')" "$(host state shuffle)"
host cmd play >/dev/null

echo "== playerctl driving mpv meanwhile: both see the same"
before=$(playerctl -p mpv metadata title)
playerctl -p mpv next
for _ in $(seq 1 50); do
    [ "$(playerctl -p mpv metadata title)" != "$before" ] && break
    sleep 0.1
done
eventually "playerctl's next, seen by the plug-in" "$(playerctl -p mpv metadata artist) - $(playerctl -p mpv metadata title)" host text title
playerctl -p mpv volume 0.7
eventually "playerctl's volume, seen by the plug-in" "70" host prop volume 5
playerctl -p mpv pause

echo "== mpv hung (SIGSTOP): the window answers at once from its last snapshot"
title=$(host text title)
kill -STOP "$(mpvPid)"
start=$(date +%s%N)
got=$(host text title)
took=$((($(date +%s%N) - start) / 1000000))
check "the last title, while mpv is stopped" "$title" "$got"
if [ "$took" -lt 1000 ]; then ok "answered in $took ms"; else fail "took $took ms"; fi
eventually "stale after a few seconds: the caption says so" "yes" \
    bash -c "'$x64/wine-run' '$x64/bin/player-host.exe' --ini 'Z:$work/host.ini' text tipcaption | grep -q 'the player does not answer' && echo yes"
host cmd next >/dev/null # waits in mpv's queue
kill -CONT "$(mpvPid)"
eventually "the command carried out once mpv goes on" "Ọ̀nà Ìfẹ́" playerctl -p mpv metadata title
eventually "no longer stale" "no" \
    bash -c "'$x64/wine-run' '$x64/bin/player-host.exe' --ini 'Z:$work/host.ini' text tipcaption | grep -q 'does not answer' && echo yes || echo no"

echo "== mpv stops (which empties its playlist), quits and comes back"
host cmd stop >/dev/null
eventually "stop" "Stopped" playerctl -p mpv status
kill "$(mpvPid)"
eventually "absent at the next call" "3" bash -c "'$x64/wine-run' '$x64/bin/player-host.exe' --ini 'Z:$work/host.ini' status >/dev/null; echo \$?"
startMpv
eventually "controlled again, the bridge not restarted" "Åsa Lindqvist - Über den Wolken" host text title
host cmd next >/dev/null
eventually "next, once more" "夜明けの歌" playerctl -p mpv metadata title

echo "== the tests' own MPRIS player: a track list, and bad input"
mkfifo "$work/player.in"
"$testplayer" <"$work/player.in" >"$work/player.out" 2>&1 &
playerPid=$!
exec 7>"$work/player.in"
kill "$(mpvPid)" # the bridge follows the other one
eventually "the bridge follows the next player" "Ada, Grace - Song 1" host text title
playlist=$(host playlist)
check "its track list, the current entry marked" "yes" "$(echo "$playlist" | grep -q '▶   1. Ada, Grace - Song 1' && echo yes)"
check "three entries" "3" "$(echo "$playlist" | grep -c 'Song')"
host playlist 2 >/dev/null
eventually "the entry chosen is played (GoTo)" "GoTo /track/1" bash -c "grep -o 'GoTo /track/1' '$work/player.out' | head -n 1"
check "its rating, 0.6: three stars" "on off" "$(host state rating3) $(host state rating4)"
for kind in missing empty wrong-types; do
    echo "metadata $kind" >&7
    eventually "$kind metadata: no title" "" host text title
done
echo "metadata wrong-types" >&7
eventually "a length of another type: none" "--:--" host text tracktime
echo "metadata long-title" >&7
eventually "a title of 10,000 characters, whole in a host's large buffer" "10013" \
    bash -c "'$x64/wine-run' '$x64/bin/player-host.exe' --ini 'Z:$work/host.ini' text title 65536 | tr -d '\n' | wc -m"
for kind in zero-length negative-length; do
    echo "metadata $kind" >&7
    eventually "$kind: no time" "--:--" host text tracktime
done
echo "volume 1.5" >&7
eventually "a volume above 1: the most" "100" host prop volume 5
check "the bridge runs on" "yes" "$(kill -0 "$bridgePid" 2>/dev/null && echo yes)"

echo "== VLC's track list, VLC run as a user of its own"
if ! command -v vlc >/dev/null || ! [ -f /usr/lib/x86_64-linux-gnu/vlc/plugins/control/libdbus_plugin.so ]; then
    echo "skip  VLC is not installed (apt-get install vlc-bin vlc-plugin-base to try it)"
elif [ "$(id -u)" != 0 ]; then
    echo "skip  VLC runs as a user of its own, which only root can make and run it as"
else
    id "$vlcUser" >/dev/null 2>&1 || useradd -M -s /usr/sbin/nologin "$vlcUser"
    mkdir -m 755 "$work/music" && cp "$work"/one.ogg "$work"/two.ogg "$work/music" && chmod 644 "$work"/music/*
    kill "$playerPid"
    playerPid=
    runuser -u "$vlcUser" -- env DBUS_SESSION_BUS_ADDRESS="$DBUS_SESSION_BUS_ADDRESS" HOME="$work/music" \
        vlc -I dummy --control dbus --aout dummy --no-video "$work/music/one.ogg" "$work/music/two.ogg" \
        >"$work/vlc.log" 2>&1 &
    eventually "the bridge follows VLC" "Åsa Lindqvist - Über den Wolken" host text title
    firstMarked() { host playlist | grep -q '▶   1. Åsa Lindqvist - Über den Wolken' && echo yes; }
    eventually "VLC's track list, the current entry marked" "yes" firstMarked
    host playlist 2 >/dev/null
    eventually "the entry chosen is played" "夜明けの歌" playerctl -p vlc metadata title
fi

echo "== $failures failed"
[ "$failures" = 0 ]
