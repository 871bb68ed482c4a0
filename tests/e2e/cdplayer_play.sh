#!/bin/bash
# End-to-end check of the CD player in the real program under a virtual X
# server: a disc image of three SoX tones is the CD device; a click on track
# button 2 plays that track to SDL's disk output, whose bytes must hold the
# track's samples unchanged. A screenshot of the playing player is kept as
# screen.png in the work folder (SONREL_E2E_KEEP=1 keeps the folder).
# Usage: cdplayer_play.sh <path of the sonrel program>
prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"
check="python3 $here/cdcheck.py"

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
where=$(until_on_screen "no CD player appeared" $check player "$work/screen.rgb" 1280 1024)
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
