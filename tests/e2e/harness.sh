# Shared set-up of the end-to-end checks, sourced by each script: a private
# folder with its own settings, a virtual X server, starting and stopping the
# program, focusing its frame and saving. Everything it starts is ended and the
# folder removed on every exit path; every wait is bounded.
# Before sourcing: prog (the program's path). After: work, ini, here, win.
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
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

# The start assistant stays closed.
printf '[Sonrel\\Settings\\Boolean]\nStartAssistant=1\n' >"$ini"

# The whole screen as raw RGB in $work/screen.rgb (1280 x 1024).
screen() { x import -window root -depth 8 "rgb:$work/screen.rgb" 2>/dev/null; }

# Waits until the command given succeeds on a fresh screenshot; fails with the
# message in $1 after about 15 seconds.
until_on_screen() {
    local what=$1
    shift
    for _ in $(seq 30); do
        screen && "$@" 2>/dev/null && return 0
        sleep 0.5
    done
    fail "$what"
}

# The first visible window whose title holds $1.
find_window() {
    local win=""
    for _ in $(seq 100); do
        win=$(x xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        [ -n "$win" ] && { echo "$win"; return 0; }
        kill -0 "$app" 2>/dev/null || fail "the program ended"
        sleep 0.2
    done
    return 1
}

# The keyboard goes to the frame (after a dialog, too).
focus_frame() {
    x xdotool windowactivate --sync "$win" 2>/dev/null || x xdotool windowfocus --sync "$win" ||
        true
    sleep 0.5
}

# Starts the program on a file, waits for its frame, lets the splash close and
# focuses the frame.
start() {
    "$prog" "$1" >"$work/app.log" 2>&1 &
    app=$!
    win=$(find_window "Sonrel") || fail "no frame window appeared"
    sleep 3 # the splash closes itself and the document opens
    focus_frame
}

stop() {
    end_pid "$app"
    app=""
}

# With SONREL_E2E_SHOTS set to a folder, keeps the screen there as $1.
keep_shot() {
    [ -n "${SONREL_E2E_SHOTS:-}" ] || return 0
    mkdir -p "$SONREL_E2E_SHOTS"
    x import -window root "$SONREL_E2E_SHOTS/$1"
}

# Ctrl+S on the frame; waits until the file has been rewritten and is steady.
save() {
    local before now
    before=$(md5sum <"$1")
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

# Reverse from the "F&ilters" menu with the keyboard, then saves.
reverse_and_save() {
    x xdotool key alt+i
    sleep 0.5
    x xdotool key r
    sleep 1.5
    save "$1"
}
