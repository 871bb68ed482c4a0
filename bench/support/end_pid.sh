# Sourced by the benchmark scripts: end_pid PID asks a process to end, waits
# up to two seconds, then kills it; nothing when PID is empty or already gone.
end_pid() {
    [ -n "$1" ] || return 0
    kill "$1" 2>/dev/null || return 0
    for _ in $(seq 20); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$1" 2>/dev/null || true
    wait "$1" 2>/dev/null || true
}
