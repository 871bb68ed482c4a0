#!/usr/bin/env bash
# Start time of the editor: from exec to its frame ("Sonrel 2003") being mapped
# on an X display, the processor time it used until then (user + system, which
# a loaded machine does not inflate as much), and the memory it holds at that
# moment (VmRSS).
# Runs under its own Xvfb unless DISPLAY is given; each run has fresh settings.
#
#   bench/start_time.sh [path/to/sonrel] [runs] [file.wav]
#
# Target: at most 0.3 s to the frame.
set -euo pipefail

program=${1:-build/bin/sonrel}
runs=${2:-5}
wave=${3:-}
[ -x "$program" ] || { echo "no program at $program" >&2; exit 2; }
command -v xdotool >/dev/null || { echo "xdotool is needed" >&2; exit 2; }

xvfb_pid=
work=$(mktemp -d /tmp/sonrel-start-XXXXXX)
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
    for n in $(seq 90 99); do
        [ -e "/tmp/.X11-unix/X$n" ] || { display=":$n"; break; }
    done
    Xvfb "$display" -noreset -screen 0 1280x1024x24 >/dev/null 2>&1 &
    xvfb_pid=$!
    export DISPLAY=$display
    for _ in $(seq 100); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.05; done
fi
export SDL_AUDIODRIVER=dummy

now_ns() { date +%s%N; }

printf '%-4s %10s %10s %10s\n' run seconds cpu_s VmRSS_kB
times=()
for i in $(seq "$runs"); do
    export SONREL_HOME="$work/home$i"
    mkdir -p "$SONREL_HOME"
    start=$(now_ns)
    if [ -n "$wave" ]; then "$program" "$wave" >/dev/null 2>&1 & else "$program" >/dev/null 2>&1 & fi
    pid=$!
    shown=
    for _ in $(seq 4000); do
        if xdotool search --onlyvisible --name '^Sonrel 2003$' >/dev/null 2>&1; then
            shown=$(now_ns)
            break
        fi
        kill -0 "$pid" 2>/dev/null || break
        # Polling without a pause floods the X server with connections and
        # makes it refuse the program's own.
        sleep 0.005
    done
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo "?")
    cpu=$(awk -v hz="$(getconf CLK_TCK)" '{ printf "%.3f", ($14 + $15) / hz }' \
        "/proc/$pid/stat" 2>/dev/null || echo "?")
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    if [ -z "$shown" ]; then echo "run $i: the frame was not shown" >&2; exit 1; fi
    secs=$(awk -v a="$start" -v b="$shown" 'BEGIN { printf "%.3f", (b - a) / 1e9 }')
    times+=("$secs")
    printf '%-4s %10s %10s %10s\n' "$i" "$secs" "$cpu" "$rss"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }')
echo "median $median s (target 0.300 s)"
