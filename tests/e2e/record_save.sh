#!/bin/bash
# End-to-end check of recording in the real program under a virtual X server,
# its capture device being SDL's disk driver fed a known signal: opens an
# 8-bit mono wave file made by SoX, picks "&Record..." from the "&Mark" menu
# with the keyboard, starts the recording in the level check, answers Yes to
# the overwrite question, stops after a few seconds, saves with Ctrl+S and
# looks for the fed signal in the saved file. Then opens the loader window
# from the "&File" menu and loads the first 10 s of a file into a new document.
# With SONREL_E2E_SHOTS set to a folder, the level check, the recording
# dialog and the loader window are kept there as record-level.png,
# record-running.png and loader.png.
# Usage: record_save.sh <path of the sonrel program>
prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"

shot() {
    [ -n "${SONREL_E2E_SHOTS:-}" ] || return 0
    mkdir -p "$SONREL_E2E_SHOTS"
    x import -window root "$SONREL_E2E_SHOTS/$1.png" || true
}
# Waits for a visible window whose title matches; prints its id.
window_named() { find_window "$1" || fail "no window \"$1\" appeared"; }

# The signal: 8 s of noise, 8-bit mono at 8000 Hz, fed to the capture device
# (the level check reads it as 8-bit stereo: 4 s). Its first 2 s are looked for.
python3 -c "import random,sys; random.seed(5); sys.stdout.buffer.write(bytes(random.randrange(1,255) for _ in range(64000)))" >"$work/signal.raw"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILEIN=$work/signal.raw
export SDL_DISKAUDIOFILE=$work/output.raw
sox -n -r 8000 -b 8 -c 1 "$work/take.wav" synth 0.5 sine 440

start "$work/take.wav"

x xdotool key alt+m
sleep 0.5
x xdotool key r
level=$(window_named "Recording Level")
sleep 1
shot record-level
x xdotool windowfocus --sync "$level" 2>/dev/null || true
x xdotool key Return
sleep 1
# "Do you confirm overwriting": Yes is the default button.
x xdotool key Return
running=$(window_named "Recording...")
sleep 3.5
shot record-running
x xdotool windowfocus --sync "$running" 2>/dev/null || true
x xdotool key Escape
sleep 1.5
shot record-stopped
# Back to the frame: a click on the empty workspace beside the document.
x xdotool windowactivate --sync "$win" 2>/dev/null || true
x xdotool mousemove 580 250 click 1
sleep 0.5
before=$(md5sum <"$work/take.wav")
for _ in $(seq 3); do
    x xdotool key ctrl+s
    sleep 1
    [ "$(md5sum <"$work/take.wav")" != "$before" ] && break
done
python3 - "$work/take.wav" "$work/signal.raw" <<'PY' || fail "the saved take does not hold the fed signal"
import sys
take, signal = open(sys.argv[1], 'rb').read(), open(sys.argv[2], 'rb').read()[:16000]
at = take.find(b'data')
data = take[at + 8:]
if signal not in data:
    sys.exit('signal not found in %d bytes' % len(data))
print('e2e: the take holds the signal at byte', data.find(signal))
PY
ls "$XDG_RUNTIME_DIR"/sonrel/SnrTemp* "$SONREL_HOME"/tmp/SnrTemp* 2>/dev/null && fail "a take file was left"

# The loader on a minute of SoX's sound.
sox -n -r 22050 -b 16 -c 2 "$work/long.wav" synth 60 sine 300 sine 450
printf '[Sonrel\\Settings\\RevaZud]\nFileName=%s\n' "$work/long.wav" >>"$ini"
x xdotool key alt+f
sleep 0.5
x xdotool key l
loader=$(window_named "RevaZUD Loader")
sleep 1
shot loader
x xdotool windowfocus --sync "$loader" 2>/dev/null || true
x xdotool key Return
sleep 1.5
shot loader-loaded
echo "e2e: passed"
