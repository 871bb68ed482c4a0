#!/bin/bash
# End-to-end check of the options sheet in the real program under a virtual X
# server: opens Edit > Options with the keyboard, goes through the five pages
# with the mouse, chooses "HiFi - 16", "STEREO" and 44100 Hz on "New Files"
# and the highest display quality on "Design", confirms, and checks what the
# settings file holds then (a new file reads its format from there). With
# SONREL_E2E_SHOTS set to a folder, a picture of each page is left there
# (page0.png ... page4.png).
# Usage: options_sheet.sh <path of the sonrel program>
prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"

# Reads "key=value" of the settings file's section $1.
value() {
    awk -v sec="[$1]" -v key="$2" '
        /^\[/ { in_sec = ($0 == sec) }
        in_sec && index($0, key "=") == 1 { print substr($0, length(key) + 2) }' "$ini"
}

sox -n -r 8000 -b 8 -c 1 "$work/in.wav" synth 0.5 sine 300
start "$work/in.wav"
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
