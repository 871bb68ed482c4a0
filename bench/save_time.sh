#!/usr/bin/env bash
# Ctrl+S of an unedited 600 MB document in the real program, against writing
# the same bytes to a new file, flushing it to the disk and renaming it over
# the old one (what a save that survives a crash must do at the least).
#
# The program is started once on a 16-bit stereo wave file of 600 MB under its
# own Xvfb; each run presses Ctrl+S and times from the key to the moment the
# file's name points at the new file, plus the program's processor time for
# the save. Then the same bytes are written with dd (conv=fsync) and renamed
# over the file, each run. Prints every run, the medians and their ratio.
#
#   bench/save_time.sh [path/to/sonrel] [runs] [folder]
#
# Target: the save at most 1.5 times the plain write + flush + rename.
set -euo pipefail

program=$(readlink -f "${1:-build/bin/sonrel}")
runs=${2:-5}
base=${3:-/tmp}
[ -x "$program" ] || { echo "no program at $program" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "xdotool is needed" >&2; exit 2; }

work=$(mktemp -d "$base/sonrel-save-XXXXXX")
app=""
xvfb=""
. "$(dirname "$0")/support/end_pid.sh"
cleanup() {
    end_pid "$app"
    end_pid "$xvfb"
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

export SONREL_HOME=$work/home XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
mkdir -p "$SONREL_HOME/config" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$SONREL_HOME/config/Sonrel.ini"

for n in $(seq 60 120); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
        sleep 0.1
    done
    end_pid "$xvfb"
    xvfb=""
done
[ -n "$xvfb" ] || { echo "no X server could be started" >&2; exit 1; }

# 600 MB of 16-bit stereo data at 44100 Hz behind a canonical header.
wave=$work/big.wav
python3 - "$wave" <<'EOF'
import struct, sys
size = 600 << 20
with open(sys.argv[1], "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", size + 36) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 2, 44100, 176400, 4, 16) + b"data" + struct.pack("<I", size))
    chunk = bytes(range(256)) * 4096
    for _ in range(size // len(chunk)):
        f.write(chunk)
EOF

now_ns() { date +%s%N; }
cpu_ticks() { awk '{ print $14 + $15 }' "/proc/$1/stat"; }
median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }

"$program" "$wave" >"$work/app.log" 2>&1 &
app=$!
win=""
for _ in $(seq 300); do
    win=$(xdotool search --onlyvisible --name "Sonrel" 2>/dev/null | head -1 || true)
    [ -n "$win" ] && break
    kill -0 "$app" 2>/dev/null || { echo "the program ended" >&2; cat "$work/app.log" >&2; exit 1; }
    sleep 0.1
done
[ -n "$win" ] || { echo "no frame appeared" >&2; exit 1; }
# Loaded and idle: the processor time stands still for a second.
last=-1
for _ in $(seq 120); do
    sleep 1
    t=$(cpu_ticks "$app")
    [ "$t" = "$last" ] && break
    last=$t
done
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win" || true
sleep 0.5

hz=$(getconf CLK_TCK)
printf '%-4s %10s %10s %10s\n' run save_s save_cpu_s plain_s
saves=()
plains=()
for i in $(seq "$runs"); do
    inode=$(stat -c %i "$wave")
    ticks=$(cpu_ticks "$app")
    start=$(now_ns)
    xdotool key ctrl+s
    done_at=""
    for _ in $(seq 6000); do
        if [ "$(stat -c %i "$wave" 2>/dev/null || echo "$inode")" != "$inode" ]; then
            done_at=$(now_ns)
            break
        fi
        sleep 0.005
    done
    [ -n "$done_at" ] || { echo "run $i: the file was not saved" >&2; exit 1; }
    sleep 0.5
    cpu=$(awk -v a="$ticks" -v b="$(cpu_ticks "$app")" -v hz="$hz" 'BEGIN { printf "%.2f", (b - a) / hz }')
    save=$(awk -v a="$start" -v b="$done_at" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    # The same bytes written, flushed and renamed over the file.
    start=$(now_ns)
    dd if="$wave" of="$work/.plain" bs=4M conv=fsync status=none
    mv -f "$work/.plain" "$work/plain.wav"
    plain=$(awk -v a="$start" -v b="$(now_ns)" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    saves+=("$save")
    plains+=("$plain")
    printf '%-4s %10s %10s %10s\n' "$i" "$save" "$cpu" "$plain"
done
ms=$(printf '%s\n' "${saves[@]}" | median)
mp=$(printf '%s\n' "${plains[@]}" | median)
awk -v s="$ms" -v p="$mp" 'BEGIN { printf "median save %.3f s, plain write + flush + rename %.3f s, ratio %.2f (target 1.50)\n", s, p, s / p }'
