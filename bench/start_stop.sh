#!/usr/bin/env bash
# Starts and closes the editor many times under its own Xvfb and keeps the log
# of every run, to catch faults that show only now and then at start-up or at
# the end (an abort before the frame appears, a hang on closing).
#
#   bench/start_stop.sh [path/to/sonrel] [runs] [log folder]
#
# Each run has fresh settings and a fresh runtime folder, starts the program
# without a file, waits for its frame ("Sonrel 2003"), waits 0, 0.5, 1.5 or
# 3 s (during the splash, as it ends, after it), then chooses File > Exit with
# the keyboard (Alt+F, X). A program still running 10 s later gets a
# screenshot and a second Alt+F, X ("closed-on-retry" when that works: the
# keys went astray, as when the start assistant opens over the menu); one
# still running after that gets a backtrace of every thread and SIGTERM and is
# counted as "hung". Every run keeps its folder (log, exit status, and a core
# file's backtrace when one was written) under the log folder; only the
# folders of clean runs are emptied of their settings.
#
# The X server runs with -noreset: by default it resets whenever its last
# client leaves, and a program that connects during that reset is refused
# (Qt then ends it with "could not connect to display").
# Prints one line per run that was not clean and a summary; exits 1 when any
# run was not clean.
#
# Set START_STOP_WRAP to run the program under a tool, for example
#   START_STOP_WRAP="valgrind --error-exitcode=99 --log-file=%p.vg"
set -uo pipefail

program=$(readlink -f "${1:-build/bin/sonrel}")
runs=${2:-300}
logs=${3:-$(mktemp -d /tmp/sonrel-startstop-XXXXXX)}
wrap=${START_STOP_WRAP:-}
[ -x "$program" ] || { echo "no program at $program" >&2; exit 2; }
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "$tool is needed" >&2; exit 2; }
done
mkdir -p "$logs"

xvfb_pid=
app=
. "$(dirname "$0")/support/end_pid.sh"
cleanup() {
    end_pid "$app"
    end_pid "$xvfb_pid"
}
trap cleanup EXIT
trap 'exit 2' INT TERM

for n in $(seq 130 170); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -noreset -screen 0 1280x1024x24 -nolisten tcp >"$logs/xvfb.log" 2>&1 &
    xvfb_pid=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do
        xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
        kill -0 "$xvfb_pid" 2>/dev/null || break
        sleep 0.1
    done
    end_pid "$xvfb_pid"
    xvfb_pid=
done
[ -n "$xvfb_pid" ] || { echo "no X server could be started" >&2; exit 2; }
export SDL_AUDIODRIVER=${SDL_AUDIODRIVER:-dummy}

# The frame: the first visible window of that title (the display is ours alone).
frame_of() {
    xdotool search --onlyvisible --name '^Sonrel 2003$' 2>/dev/null | head -1
}

# Chooses File > Exit on the frame; true when the program ended within 10 s.
exit_by_keys() {
    xdotool windowfocus --sync "$2" >/dev/null 2>&1 || true
    xdotool key --clearmodifiers alt+f >/dev/null 2>&1
    sleep 0.3
    xdotool key x >/dev/null 2>&1
    for _ in $(seq 100); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.1; done
    return 1
}

waits=(0 0.5 1.5 3)
clean=0
declare -A outcomes
for i in $(seq "$runs"); do
    run="$logs/run-$(printf '%04d' "$i")"
    mkdir -p "$run/home" "$run/runtime"
    chmod 700 "$run/runtime"
    pause=${waits[$((i % ${#waits[@]}))]}
    (
        cd "$run" || exit 2
        ulimit -c unlimited
        export SONREL_HOME="$run/home" XDG_RUNTIME_DIR="$run/runtime"
        # shellcheck disable=SC2086
        exec $wrap "$program" >"$run/program.log" 2>&1
    ) &
    app=$!
    started=$(date +%s.%N)
    frame=
    for _ in $(seq 600); do
        kill -0 "$app" 2>/dev/null || break
        frame=$(frame_of "$app")
        [ -n "$frame" ] && break
        sleep 0.05
    done
    outcome=
    if [ -n "$frame" ]; then
        sleep "$pause"
        if ! exit_by_keys "$app" "$frame"; then
            command -v import >/dev/null && import -window root "$run/still-running.png" 2>/dev/null
            if exit_by_keys "$app" "$frame"; then
                outcome=closed-on-retry
            else
                outcome=hung
                command -v gdb >/dev/null &&
                    gdb -batch -p "$app" -ex 'thread apply all bt' >"$run/backtrace.txt" 2>&1
                kill -TERM "$app" 2>/dev/null
            fi
        fi
    elif kill -0 "$app" 2>/dev/null; then
        outcome=no-frame
        kill -TERM "$app" 2>/dev/null
    fi
    wait "$app"
    status=$?
    app=
    ended=$(date +%s.%N)
    if [ -z "$outcome" ]; then
        if [ "$status" -eq 0 ]; then
            outcome=clean
        elif [ "$status" -gt 128 ]; then
            outcome="signal-$((status - 128))$([ -z "$frame" ] && echo "-before-frame")"
        else
            outcome="exit-$status"
        fi
    fi
    printf 'outcome %s\nstatus %s\nframe %s\nclosed after %s s\nseconds %s\n' "$outcome" \
        "$status" "${frame:-none}" "$pause" \
        "$(awk -v a="$started" -v b="$ended" 'BEGIN { printf "%.2f", b - a }')" >"$run/result"
    for core in "$run"/core*; do
        [ -e "$core" ] || continue
        command -v gdb >/dev/null &&
            gdb -batch -ex 'thread apply all bt' "$program" "$core" >"$run/backtrace.txt" 2>&1
    done
    outcomes[$outcome]=$((${outcomes[$outcome]:-0} + 1))
    if [ "$outcome" = clean ]; then
        clean=$((clean + 1))
        rm -rf "$run/home" "$run/runtime"
    else
        echo "run $i: $outcome (closed after ${pause} s; $run)"
    fi
done

echo "logs in $logs"
for k in "${!outcomes[@]}"; do printf '%-28s %d\n' "$k" "${outcomes[$k]}"; done | sort
[ "$clean" -eq "$runs" ]
