#!/bin/bash
# End-to-end check of the options sheet in the real program under a virtual X
# server: opens Edit > Options with the keyboard, goes through the five pages
# with the mouse, chooses "HiFi - 16", "STEREO" and 44100 Hz on "New Files"
# and the highest display quality on "Design", confirms, and checks what the
# settings file holds then (a new file reads its format from there). With
# SONREL_E2E_SHOTS set to a folder, a picture of each page is left there
# (page0.png ... page4.png).
# Usage: options_sheet.sh <path of the sonrel program>
# Everything it starts is ended and its folder removed on every exit path;
# every wait is bounded.
set -euo pipefail

prog=$(readlink -f "$1")
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

# The first visible window whose title holds $1.
find_window() {
    local win=""
    for _ in $(seq 100); do
        win=$(x xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$win" ] && { echo "$win"; return 0; }
        kill -0 "$app" 2>/dev/null || fail "the program ended"
        sleep 0.2
    done
    return 1
}

# Reads "key=value" of the settings file's section $1.
value() {
    awk -v sec="[$1]" -v key="$2" '
        /^\[/ { in_sec = ($0 == sec) }
        in_sec && index($0, key "=") == 1 { print substr($0, length(key) + 2) }' "$ini"
}

sox -n -r 8000 -b 8 -c 1 "$work/in.wav" synth 0.5 sine 300
"$prog" "$work/in.wav" >"$work/app.log" 2>&1 &
app=$!
frame=$(find_window "Sonrel") || fail "no frame window appeared"
sleep 2.5 # the splash closes itself
x xdotool windowactivate --sync "$frame" 2>/dev/null || x xdotool windowfocus --sync "$frame" ||
    true
sleep 0.5
x xdotool key alt+e
sleep 0.5
x xdotool key o
sheet=$(find_window "Sonrel2003 Options") || fail "Edit > Options opened no sheet"
eval "$(x xdotool getwindowgeometry --shell "$sheet")"
sx=$X
sy=$Y

# Clicks at a point of the sheet.
click() {
    x xdotool mousemove $((sx + $1)) $((sy + $2)) click 1
    sleep 0.5
}
# The tabs' centres on the row of tabs, in page order.
tabs=(31 94 163 228 297)
for i in 0 1 2 3 4; do
    click "${tabs[$i]}" 19
    [ -n "${SONREL_E2E_SHOTS:-}" ] && x import -window "$sheet" "$SONREL_E2E_SHOTS/page$i.png"
done

# New Files: the second entry of both lists (a list opens over its box with
# the chosen entry in the box's place, the next entry one row below), and the
# frequency typed.
click "${tabs[1]}" 19
for y in 73 99; do
    click 180 "$y"
    sleep 0.3
    click 143 $((y + 22))
done
click 170 125
x xdotool key ctrl+a
x xdotool type 44100
# Design: the display quality slider to "high".
click "${tabs[2]}" 19
click 272 173
x xdotool key End
sleep 0.3
click 240 278 # OK
for _ in $(seq 30); do
    x xdotool search --onlyvisible --name "Sonrel2003 Options" >/dev/null 2>&1 || break
    sleep 0.2
done

[ "$(value 'Sonrel\NewFile' Bit)" = 16 ] || fail "Bit is '$(value 'Sonrel\NewFile' Bit)'"
[ "$(value 'Sonrel\NewFile' Channels)" = 2 ] || fail "Channels not written"
[ "$(value 'Sonrel\NewFile' Samples)" = 44100 ] || fail "Samples not written"
[ "$(value 'Sonrel\NewFile' BytesPerSample)" = 4 ] || fail "BytesPerSample not written"
[ "$(value 'Sonrel\NewFile' BytesPerSec)" = 176400 ] || fail "BytesPerSec not written"
[ "$(value 'Sonrel\Settings' WindowQuality)" = 100 ] || fail "WindowQuality not written"
[ "$(value 'Sonrel\Settings\Boolean' ClipboardOnDisk)" = "" ] ||
    fail "a setting no page shows was written"

echo "e2e: passed"
