#!/bin/bash
# End-to-end check of the CD player in the real program under a virtual X
# server: a disc image of three SoX tones is the CD device; a click on track
# button 2 plays that track to SDL's disk output, whose bytes must hold the
# track's samples unchanged. A screenshot of the playing player is kept as
# screen.png in the work folder (SONREL_E2E_KEEP=1 keeps the folder).
# Usage: cdplayer_play.sh <path of the sonrel program>
# Everything it starts is ended and its folder removed on every exit path;
# every wait is bounded.
set -euo pipefail

prog=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
check="python3 $here/cdcheck.py"
work=$(mktemp -d /tmp/sonrel-e2e-XXXXXX)
export SONREL_HOME=$work/home
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$SONREL_HOME/config" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini=$SONREL_HOME/config/Sonrel.ini
app=""
xvfb=""

end_pid() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 10); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
cleanup() {
    end_pid "$app"
    end_pid "$xvfb"
    [ -n "${SONREL_E2E_KEEP:-}" ] || rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM
fail() {
    echo "e2e: $*" >&2
    [ -s "$work/app.log" ] && sed 's/^/e2e: program: /' "$work/app.log" >&2
    exit 1
}
x() { timeout 20 "$@"; }

# A virtual screen on a display number nobody uses; the next one if taken meanwhile.
for n in $(seq 60 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    # -noreset: a server that resets when its last client leaves refuses a
    # program that connects meanwhile.
    Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        kill -0 "$xvfb" 2>/dev/null || break
        x xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
        sleep 0.1
    done
    end_pid "$xvfb"
    xvfb=""
done
[ -n "$xvfb" ] || fail "no X server could be started"

# Three tracks of 3, 4 and 2 seconds as CD audio, and the image of the disc.
for t in 1:3:440 2:4:660 3:2:880; do
    IFS=: read -r n s f <<<"$t"
    sox -n -r 44100 -c 2 -b 16 -e signed -L -t raw "$work/track$n.raw" synth "$s" sine "$f" vol 0.5
done
cat "$work/track1.raw" "$work/track2.raw" "$work/track3.raw" >"$work/disc.bin"
cat >"$work/disc.cue" <<CUE
FILE "disc.bin" BINARY
  TRACK 01 AUDIO
    INDEX 01 00:00:00
  TRACK 02 AUDIO
    INDEX 01 00:03:00
  TRACK 03 AUDIO
    INDEX 01 00:07:00
CUE

# The start assistant stays closed; the player is shown and plays the image.
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\nCDPlayerVisible=1\n' >"$ini"
printf '[Sonrel\\Settings\\CDPlayer]\nDevice=%s\n' "$work/disc.cue" >>"$ini"

SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/out.raw" "$prog" >"$work/app.log" 2>&1 &
app=$!
where=""
for _ in $(seq 60); do
    kill -0 "$app" 2>/dev/null || fail "the program ended at start-up"
    if x import -window root -depth 8 "rgb:$work/screen.rgb" 2>/dev/null &&
        where=$($check player "$work/screen.rgb" 1280 1024 2>/dev/null); then
        break
    fi
    sleep 0.5
done
[ -n "$where" ] || fail "no CD player appeared"
sleep 2.5 # the splash closes itself
read -r px py <<<"$where"
# Track button 2 lies at (30, 25) in the player, 20 pixels square.
x xdotool mousemove $((px + 40)) $((py + 35))
x xdotool click 1
sleep 2
x import -window root "$work/screen.png"
sleep 4
$check played "$work/track2.raw" "$work/out.raw" || fail "track 2 was not played"
echo "e2e: passed"
