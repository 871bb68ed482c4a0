#!/bin/bash
# End-to-end check of the extensions in the real program under a virtual X
# server. The two sample extensions are registered in the user's registry
# store; the program is started on a 16-bit mono wave file made by SoX.
# 1. "F&ilters" > "E&xtensions" > "&Invert Polarity" with the keyboard, Ctrl+S:
#    every saved sample value is the negated original (-32768 becomes 32767).
# 2. "F&ilters" > "E&xtensions" > "&Echo...", OK in its dialog (250 ms, 50 %),
#    Ctrl+S: the saved data is the inverted data with its echo added.
# With SONREL_E2E_SHOTS set to a folder, the screen with the open extensions
# menu, the Echo dialog and the screen after both filters are kept there as
# extensions-menu.png, extensions-echo.png and extensions-done.png.
# Usage: extensions_menu.sh <path of the sonrel program>
# Everything it starts is ended and its folder removed on every exit path;
# every wait is bounded.

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

# The start assistant stays closed; both samples are registered.
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$ini"
printf '[HKEY_CURRENT_USER\\Software\\Kestrowe\\Sonrel\\Extensions\\echo.so]\n[HKEY_CURRENT_USER\\Software\\Kestrowe\\Sonrel\\Extensions\\invert.so]\n' \
    >"$SONREL_HOME/config/registry.ini"

keep_shot() {
    [ -n "${SONREL_E2E_SHOTS:-}" ] || return 0
    mkdir -p "$SONREL_E2E_SHOTS"
    x import -window root "$SONREL_E2E_SHOTS/$1"
}

# Starts the program on a file, waits for its frame, focuses it.
start() {
    "$prog" "$1" >"$work/app.log" 2>&1 &
    app=$!
    win=""
    for _ in $(seq 150); do
        win=$(x xdotool search --onlyvisible --name "Sonrel" 2>/dev/null | head -1 || true)
        [ -n "$win" ] && break
        kill -0 "$app" 2>/dev/null || fail "the program ended at start-up"
        sleep 0.2
    done
    [ -n "$win" ] || fail "no frame window appeared"
    sleep 3 # the splash closes itself
    focus_frame
}

# Without a window manager a closed dialog leaves the keyboard nowhere.
focus_frame() {
    x xdotool windowactivate --sync "$win" 2>/dev/null || x xdotool windowfocus --sync "$win" ||
        true
    sleep 0.5
}

# Saves with Ctrl+S; waits until the file has changed and stays so.
save() {
    local before=$2 now
    focus_frame
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

# The sample values of a 16-bit mono wave file's data chunk.
values() {
    python3 - "$1" <<'PY'
import struct, sys
b = open(sys.argv[1], 'rb').read()
i = 12
while i + 8 <= len(b):
    tag, size = b[i:i + 4], struct.unpack('<I', b[i + 4:i + 8])[0]
    if tag == b'data':
        d = b[i + 8:i + 8 + size]
        print(' '.join(str(v) for v in struct.unpack('<%dh' % (len(d) // 2), d)))
        break
    i += 8 + size + (size & 1)
PY
}

sox -n -r 8000 -b 16 -c 1 "$work/in.wav" synth 0.5 sine 440 vol 0.9
# A full-scale negative value, which has no positive opposite.
python3 - "$work/in.wav" <<'PY'
import sys
p = sys.argv[1]
b = bytearray(open(p, 'rb').read())
b[-2:] = (-32768).to_bytes(2, 'little', signed=True)
open(p, 'wb').write(b)
PY
cp "$work/in.wav" "$work/original.wav"

start "$work/in.wav"

# Part 1: Invert Polarity, run directly.
x xdotool key alt+i
sleep 0.5
x xdotool key x
sleep 0.8
keep_shot extensions-menu.png
x xdotool key Down
sleep 0.3
x xdotool key Return
sleep 1
save "$work/in.wav" "$(md5sum <"$work/original.wav")"
cp "$work/in.wav" "$work/inverted.wav"
python3 - "$(values "$work/original.wav")" "$(values "$work/inverted.wav")" <<'PY' ||
import sys
a = [int(v) for v in sys.argv[1].split()]
b = [int(v) for v in sys.argv[2].split()]
want = [min(32767, -v) for v in a]
sys.exit(0 if b == want and len(a) > 1000 else 1)
PY
    fail "invert: the saved values are not the negated originals"

# Part 2: Echo with its dialog's defaults, run on a thread of its own.
x xdotool key alt+i
sleep 0.5
x xdotool key x
sleep 0.5
x xdotool key e
sleep 1.5
x xdotool search --onlyvisible --name "^Echo$" >/dev/null 2>&1 || fail "no Echo dialog appeared"
keep_shot extensions-echo.png
x xdotool key Return
sleep 1.5
save "$work/in.wav" "$(md5sum <"$work/inverted.wav")"
keep_shot extensions-done.png
python3 - "$(values "$work/inverted.wav")" "$(values "$work/in.wav")" <<'PY' ||
import sys
a = [int(v) for v in sys.argv[1].split()]
b = [int(v) for v in sys.argv[2].split()]
d = 2000  # 250 ms at 8000 Hz
want = [max(-32768, min(32767, v + (int(a[i - d] * 50 / 100) if i >= d else 0)))
        for i, v in enumerate(a)]
sys.exit(0 if b == want else 1)
PY
    fail "echo: the saved values are not the inverted ones with their echo"
echo "e2e: passed"
