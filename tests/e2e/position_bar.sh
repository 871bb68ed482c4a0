#!/bin/bash
# End-to-end check of the position bar in the real program under a virtual X
# server: opens a 16-bit stereo wave file made by SoX, types a start and a
# length into the bar's fields with the mouse and the keyboard, presses
# "Update mark", applies Reverse from the menu, saves with Ctrl+S and checks
# that exactly the typed range changed. The bar is found on a screenshot by
# the red lamps of its buttons, which lie a known distance right of the
# bar's dialog.
# Usage: position_bar.sh <path of the sonrel program>
prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"
check="python3 $here/wavecheck.py"
bars="python3 $here/barcheck.py"

# The frame is wide enough for the whole bar.
printf '[Sonrel\\Settings\\Main]\nWidth=900\nHeight=600\n' >>"$ini"

# The dialog's place from the first lamp: the lamp is centred in a button of
# 20 x 19 pixels at (dialog width + 10, 3) in the bar; the dialog is at (2, 2)
# and 449 x 13 dialog units (673 x 21 pixels) wide.
dialog_origin() {
    local lamp lx ly
    lamp=$(until_on_screen "no position bar on the screen" $bars "$work/screen.rgb" 1280 1024)
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
