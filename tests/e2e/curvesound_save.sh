#!/bin/bash
# End-to-end check of the CurveSound editors in the real program under a
# virtual X server. For each editor: opens a 16-bit stereo wave file made by
# SoX, opens the editor from the "F&ilters" menu with the keyboard, drags two
# pins with the mouse onto the top and the bottom of the drawing area (found on
# a screenshot; the pins snap there), presses OK, saves with Ctrl+S and
# compares the saved file with the path applied to the original by the rule.
# With SONREL_E2E_SHOTS set to a folder, the screen with the drawn path is kept
# there as curvesound-volume.png and curvesound-channels.png.
# Usage: curvesound_save.sh <path of the sonrel program>
# Everything it starts is ended and its folder removed on every exit path;
# every wait is bounded.
set -euo pipefail

prog=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
check="python3 $here/curvecheck.py"
work=$(mktemp -d /tmp/sonrel-e2e-XXXXXX)
export SONREL_HOME=$work/home
export XDG_RUNTIME_DIR=$work/run
mkdir -p "$SONREL_HOME/config" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
ini=$SONREL_HOME/config/Sonrel.ini
app=""
xvfb=""
win=""

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
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
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

# The start assistant stays closed; the frame is large enough for the editors
# beside the document.
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$ini"
printf '[Sonrel\\Settings\\Main]\nX=0\nY=0\nWidth=1200\nHeight=900\n' >>"$ini"

# Starts the program on a file, waits for its frame, focuses it.
start() {
    "$prog" "$1" >"$work/app.log" 2>&1 &
    app=$!
    win=""
    for _ in $(seq 150); do
        win=$(x xdotool search --onlyvisible --name "Sonrel" 2>/dev/null | head -1 || true)
        [ -n "$win" ] && break
        kill -0 "$app" 2>/dev/null || fail "the program ended at start-up"
        sleep 0.2
    done
    [ -n "$win" ] || fail "no frame window appeared"
    sleep 3 # the splash closes itself and the document opens
    focus_frame
}

# The keyboard goes to the frame (after a dialog, too).
focus_frame() {
    x xdotool windowactivate --sync "$win" 2>/dev/null || x xdotool windowfocus --sync "$win" ||
        true
    sleep 0.5
}

stop() {
    end_pid "$app"
    app=""
}

# Opens an editor with the Filters menu's key; prints the drawing area's top left.
open_editor() {
    x xdotool key alt+i
    sleep 0.5
    x xdotool key "$1"
    for _ in $(seq 30); do
        sleep 0.5
        x import -window root -depth 8 "rgb:$work/screen.rgb" 2>/dev/null || continue
        $check area "$work/screen.rgb" 1280 1024 2>/dev/null && return 0
    done
    fail "the editor did not open"
}

# Drags the pin at area pixel ($3, $4) to ($5, $6); the area's top left is ($1, $2).
drag_pin() {
    local ax=$1 ay=$2
    x xdotool mousemove $((ax + $3)) $((ay + $4))
    sleep 0.2
    x xdotool mousedown 1
    for step in 1 2 3 4; do
        x xdotool mousemove $((ax + $3 + ($5 - $3) * step / 4)) $((ay + $4 + ($6 - $4) * step / 4))
        sleep 0.05
    done
    x xdotool mouseup 1
    sleep 0.3
}

# OK lies 359 pixels right of the volume editor's area and 10 below its top
# (the channel editor's 358), as the template places it.
press_ok() {
    x xdotool mousemove $(($1 + $3)) $(($2 + 10))
    sleep 0.2
    x xdotool click 1
    sleep 1
}

save() {
    local before now
    before=$(md5sum <"$1")
    focus_frame
    for _ in 1 2 3; do
        x xdotool key ctrl+s
        for _ in $(seq 20); do
            sleep 0.2
            now=$(md5sum <"$1")
            [ "$now" != "$before" ] || continue
            sleep 0.5
            [ "$(md5sum <"$1")" = "$now" ] && return 0
        done
    done
    fail "the file was not saved"
}

keep_shot() {
    [ -n "${SONREL_E2E_SHOTS:-}" ] || return 0
    mkdir -p "$SONREL_E2E_SHOTS"
    x import -window root "$SONREL_E2E_SHOTS/$1"
}

sox -n -r 8000 -b 16 -c 2 "$work/original.wav" synth 0.5 sine 300 sine 500 vol 0.7

# The volume editor: 200 % at a third, silence at two thirds.
cp "$work/original.wav" "$work/volume.wav"
start "$work/volume.wav"
read -r ax ay <<<"$(open_editor m)"
drag_pin "$ax" "$ay" 100 100 100 0
drag_pin "$ax" "$ay" 200 100 200 200
keep_shot curvesound-volume.png
press_ok "$ax" "$ay" 359
save "$work/volume.wav"
stop
$check volume "$work/original.wav" "$work/volume.wav" 0,100 100,0 200,200 300,100 ||
    fail "volume path"

# The channel editor: up, down, down, up.
cp "$work/original.wav" "$work/channels.wav"
start "$work/channels.wav"
read -r ax ay <<<"$(open_editor h)"
drag_pin "$ax" "$ay" 75 100 75 0
drag_pin "$ax" "$ay" 225 100 225 200
keep_shot curvesound-channels.png
press_ok "$ax" "$ay" 358
save "$work/channels.wav"
stop
$check channels "$work/original.wav" "$work/channels.wav" 0,100 75,0 150,100 225,200 300,100 ||
    fail "channel path"
echo "e2e: passed"
