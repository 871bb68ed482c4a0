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
prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"
check="python3 $here/curvecheck.py"

# The frame is large enough for the editors beside the document.
printf '[Sonrel\\Settings\\Main]\nX=0\nY=0\nWidth=1200\nHeight=900\n' >>"$ini"

# Opens an editor with the Filters menu's key; prints the drawing area's top left.
open_editor() {
    x xdotool key alt+i
    sleep 0.5
    x xdotool key "$1"
    sleep 0.5
    until_on_screen "the editor did not open" $check area "$work/screen.rgb" 1280 1024
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
