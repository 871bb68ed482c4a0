#!/bin/bash
# End-to-end check of the position bar in the real program under a virtual X
# server: opens a 16-bit stereo wave file made by SoX, types a start and a
# length into the bar's fields with the mouse and the keyboard, presses
# "Update mark", applies Reverse from the menu, saves with Ctrl+S and checks
# that exactly the typed range changed. The bar is found on a screenshot by
# the red lamps of its buttons, which lie a known distance right of the
# bar's dialog.
# Usage: position_bar.sh <path of the sonrel program>
# Everything it starts is ended and its folder removed on every exit path;
# every wait is bounded.
set -euo pipefail

prog=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
check="python3 $here/wavecheck.py"
bars="python3 $here/barcheck.py"
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

# The start assistant stays closed; the frame is wide enough for the whole bar.
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$ini"
printf '[Sonrel\\Settings\\Main]\nWidth=900\nHeight=600\n' >>"$ini"

# Starts the program on a file, waits for its frame and its waveform, focuses the frame.
start() {
    "$prog" "$1" >"$work/app.log" 2>&1 &
    app=$!
    local win=""
    for _ in $(seq 150); do
        win=$(x xdotool search --onlyvisible --name "Sonrel" 2>/dev/null | head -1 || true)
        [ -n "$win" ] && break
        kill -0 "$app" 2>/dev/null || fail "the program ended at start-up"
        sleep 0.2
    done
    [ -n "$win" ] || fail "no frame window appeared"
    sleep 2.5 # the splash closes itself
    x xdotool windowactivate --sync "$win" 2>/dev/null || x xdotool windowfocus --sync "$win" ||
        true
    sleep 0.5
}

stop() {
    end_pid "$app"
    app=""
}

# Reverse from the "F&ilters" menu, then Ctrl+S; waits for the file to be rewritten.
reverse_and_save() {
    local before now
    before=$(md5sum <"$1")
    x xdotool key alt+i
    sleep 0.5
    x xdotool key r
    sleep 1.5
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

# The dialog's place from the first lamp: the lamp is centred in a button of
# 20 x 19 pixels at (dialog width + 10, 3) in the bar; the dialog is at (2, 2)
# and 449 x 13 dialog units (673 x 21 pixels) wide.
dialog_origin() {
    local lamp="" lx ly
    for _ in $(seq 30); do
        if x import -window root -depth 8 "rgb:$work/screen.rgb" 2>/dev/null &&
            lamp=$($bars "$work/screen.rgb" 1280 1024 2>/dev/null); then
            break
        fi
        sleep 0.5
    done
    [ -n "$lamp" ] || fail "no position bar on the screen"
    read -r lx ly <<<"$lamp"
    echo "$((lx - 5 - 8 - 673)) $((ly - 4 - 3 + 2))"
}

# Clicks the dialog point (pixels) and types the number into the field there.
type_field() {
    x xdotool mousemove "$((dx + $1))" "$((dy + 10))" click 1
    sleep 0.2
    x xdotool key End BackSpace BackSpace BackSpace BackSpace BackSpace
    x xdotool type --delay 30 "$2"
    sleep 0.1
}

reverse_and_save() {
    local before now
    before=$(md5sum <"$1")
    x xdotool key alt+i
    sleep 0.5
    x xdotool key r
    sleep 1.5
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

# 8000 frames per second of 4 bytes: 32 bytes per millisecond.
sox -n -r 8000 -b 16 -c 2 "$work/in.wav" synth 0.5 whitenoise
cp "$work/in.wav" "$work/original.wav"
start "$work/in.wav"
origin=$(dialog_origin) || exit 1
read -r dx dy <<<"$origin"
# Field centres in the dialog: start minutes, seconds, milliseconds at x 46,
# 78, 108; length at 202, 234, 264; "Update mark" at 489.
type_field 46 0
type_field 78 0
type_field 108 100
type_field 202 0
type_field 234 0
type_field 264 250
x xdotool mousemove "$((dx + 489))" "$((dy + 10))" click 1
sleep 0.5
# The keys go to the frame again from a click on the status bar, which lies
# the preview's height (100) and 24 pixels below the position bar's top.
x xdotool mousemove "$((dx + 100))" "$((dy - 2 + 100 + 24 + 11))" click 1
sleep 0.3
reverse_and_save "$work/in.wav"
stop
# Start 100 ms = 3200 bytes = value 1600; length 250 ms = 8000 bytes: values to 5600.
$check marked "$work/original.wav" "$work/in.wav" 1600 5600 || fail "typed mark reverse"
echo "e2e: passed"
