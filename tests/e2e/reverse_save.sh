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
prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"
check="python3 $here/wavecheck.py"

# Prints the waveform area "left right top bottom" once it is on the screen.
waveform_box() {
    until_on_screen "no waveform appeared" $check box "$work/screen.rgb" 1280 1024
}

sox -n -r 8000 -b 16 -c 2 "$work/in.wav" synth 0.5 whitenoise
cp "$work/in.wav" "$work/original.wav"

# First the whole data.
start "$work/in.wav"
waveform_box >/dev/null
reverse_and_save "$work/in.wav"
stop
$check whole "$work/original.wav" "$work/in.wav" || fail "whole-file reverse"

# Then a dragged mark at "Whole File".
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
