#!/bin/bash
# End-to-end check of the extensions in the real program under a virtual X
# server. The two sample extensions are registered in the user's registry
# store; the program is started on a 16-bit mono wave file made by SoX.
# First "F&ilters" > "E&xtensions" > "&Invert Polarity" with the keyboard, Ctrl+S:
#    every saved sample value is the negated original (-32768 becomes 32767).
# Then "F&ilters" > "E&xtensions" > "&Echo...", OK in its dialog (250 ms, 50 %),
#    Ctrl+S: the saved data is the inverted data with its echo added.
# With SONREL_E2E_SHOTS set to a folder, the screen with the open extensions
# menu, the Echo dialog and the screen after both filters are kept there as
# extensions-menu.png, extensions-echo.png and extensions-done.png.
# Usage: extensions_menu.sh <path of the sonrel program>
set -euo pipefail

prog=$(readlink -f "$1")
source "$(dirname "$0")/harness.sh"

# Both samples are registered.
printf '[HKEY_CURRENT_USER\\Software\\Kestrowe\\Sonrel\\Extensions\\echo.so]\n[HKEY_CURRENT_USER\\Software\\Kestrowe\\Sonrel\\Extensions\\invert.so]\n' \
    >"$SONREL_HOME/config/registry.ini"

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

# First Invert Polarity, run directly.
x xdotool key alt+i
sleep 0.5
x xdotool key x
sleep 0.8
keep_shot extensions-menu.png
x xdotool key Down
sleep 0.3
x xdotool key Return
sleep 1
save "$work/in.wav"
cp "$work/in.wav" "$work/inverted.wav"
python3 - "$(values "$work/original.wav")" "$(values "$work/inverted.wav")" <<'PY' ||
import sys
a = [int(v) for v in sys.argv[1].split()]
b = [int(v) for v in sys.argv[2].split()]
want = [min(32767, -v) for v in a]
sys.exit(0 if b == want and len(a) > 1000 else 1)
PY
    fail "invert: the saved values are not the negated originals"

# Then Echo with its dialog's defaults, run on a thread of its own.
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
save "$work/in.wav"
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
