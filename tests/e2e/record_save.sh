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
shot() {
    [ -n "${SONREL_E2E_SHOTS:-}" ] || return 0
    mkdir -p "$SONREL_E2E_SHOTS"
    x import -window root "$SONREL_E2E_SHOTS/$1.png" || true
}
# Waits for a visible window whose title matches; prints its id.
window_named() {
    local w=""
    for _ in $(seq 50); do
        w=$(x xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$w" ] && echo "$w" && return 0
        sleep 0.2
    done
    fail "no window \"$1\" appeared"
}

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

printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$ini"

# The signal: 8 s of noise, 8-bit mono at 8000 Hz, fed to the capture device
# (the level check reads it as 8-bit stereo: 4 s). Its first 2 s are looked for.
python3 -c "import random,sys; random.seed(5); sys.stdout.buffer.write(bytes(random.randrange(1,255) for _ in range(64000)))" >"$work/signal.raw"
export SDL_AUDIODRIVER=disk
export SDL_DISKAUDIOFILEIN=$work/signal.raw
export SDL_DISKAUDIOFILE=$work/output.raw
sox -n -r 8000 -b 8 -c 1 "$work/take.wav" synth 0.5 sine 440

"$prog" "$work/take.wav" >"$work/app.log" 2>&1 &
app=$!
win=$(window_named "Sonrel")
sleep 3 # the splash closes itself
x xdotool windowactivate --sync "$win" 2>/dev/null || x xdotool windowfocus --sync "$win" || true
sleep 0.5

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
