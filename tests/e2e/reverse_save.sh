#!/bin/bash
# End-to-end check of the real program under a virtual X server.
# 1. Opens a 16-bit stereo wave file made by SoX, applies Reverse from the
#    menu with the keyboard (no mark: the whole data), saves with Ctrl+S and
#    compares the saved file with the expected bytes.
# 2. With the start zoom set to "Whole File", marks a range by dragging with
#    the mouse over the waveform, applies Reverse again, saves, and checks
#    that exactly the dragged range changed. The expected range comes from the
#    drag's pixels the way the view maps them: value = (x - first waveform
#    column) * (values / waveform columns), the waveform area found on a
#    screenshot.
# Usage: reverse_save.sh <path of the sonrel program>
# Everything it starts is ended and its folder removed on every exit path;
# every wait is bounded.
set -euo pipefail

prog=$(readlink -f "$1")
here=$(cd "$(dirname "$0")" && pwd)
check="python3 $here/wavecheck.py"
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

# The start assistant stays closed.
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$ini"

# Prints the waveform area "left right top bottom" once it is on the screen.
waveform_box() {
    for _ in $(seq 30); do
        if x import -window root -depth 8 "rgb:$work/screen.rgb" 2>/dev/null &&
            $check box "$work/screen.rgb" 1280 1024 2>/dev/null; then
            return 0
        fi
        sleep 0.5
    done
    fail "no waveform appeared"
}

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
    waveform_box >/dev/null
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

sox -n -r 8000 -b 16 -c 2 "$work/in.wav" synth 0.5 whitenoise
cp "$work/in.wav" "$work/original.wav"

# Part 1: the whole data.
start "$work/in.wav"
reverse_and_save "$work/in.wav"
stop
$check whole "$work/original.wav" "$work/in.wav" || fail "whole-file reverse"

# Part 2: a dragged mark at "Whole File".
cp "$work/in.wav" "$work/before-mark.wav"
printf '[Sonrel\\Settings\\StartUp]\nZoom=0\n' >>"$ini"
start "$work/in.wav"
box=$(waveform_box)
read -r left right top bottom <<<"$box"
n=$($check values "$work/in.wav")
cols=$((right - left + 1))
spp=$((n / cols))
[ "$spp" -ge 2 ] || fail "the view is not at \"Whole File\" ($cols columns for $n values)"
x1=$((left + cols / 4))
x2=$((left + cols / 2))
y=$(((top + bottom) / 2))
x xdotool mousemove "$x1" "$y"
sleep 0.3
x xdotool mousedown 1
for px in $(seq "$x1" 8 "$x2") "$x2"; do
    x xdotool mousemove "$px" "$y"
    sleep 0.02
done
x xdotool mouseup 1
sleep 0.5
reverse_and_save "$work/in.wav"
stop
$check marked "$work/before-mark.wav" "$work/in.wav" \
    "$(((x1 - left) * spp))" "$(((x2 - left) * spp))" || fail "marked reverse"
echo "e2e: passed"
