#!/usr/bin/env bash
# Times SoX on one wave file for the effects it shares with the editor (vol,
# reverse, speed, fade), beside a plain SoX copy of the same file (the cost of
# reading and writing it), and, when the benchmark program is given, the
# editor's kernels for the same effects on 100 MB in memory.
#
#   bench/sox_compare.sh [wave file] [path to bench-effects_kernels]
#
# Without a file, a 100 MB 16-bit stereo 44100 Hz noise file is made with SoX.
set -euo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

input=${1:-}
if [[ -z "$input" ]]; then
    input="$work/input.wav"
    # 100 MB / (44100 Hz * 4 bytes) = 594.4 s
    sox -n -r 44100 -b 16 -c 2 "$input" synth 594.4 whitenoise vol 0.5
fi
bench=${2:-}

seconds() {
    local start end
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { printf "%.3f", b - a }'
}

bytes=$(stat -c %s "$input")
duration=$(soxi -D "$input")
echo "file: $input ($bytes bytes, $duration s)"
printf '%-28s %10s\n' "sox command" "seconds"

cat "$input" >/dev/null  # warm the page cache
copy=$(seconds sox "$input" "$work/out.wav")
printf '%-28s %10.3f\n' "copy (read + write)" "$copy"
printf '%-28s %10.3f\n' "vol 1.5" "$(seconds sox "$input" "$work/out.wav" vol 1.5)"
printf '%-28s %10.3f\n' "reverse" "$(seconds sox "$input" "$work/out.wav" reverse)"
printf '%-28s %10.3f\n' "speed 2" "$(seconds sox "$input" "$work/out.wav" speed 2)"
printf '%-28s %10.3f\n' "speed 0.5" "$(seconds sox "$input" "$work/out.wav" speed 0.5)"
printf '%-28s %10.3f\n' "fade t 0 (whole fade out)" \
    "$(seconds sox "$input" "$work/out.wav" fade t 0 "$duration" "$duration")"
printf '%-28s %10.3f\n' "fade t (whole fade in)" "$(seconds sox "$input" "$work/out.wav" fade t "$duration")"

if [[ -n "$bench" ]]; then
    echo
    echo "editor kernels, 100 MB in memory (see the memcpy line for the ratio):"
    "$bench" --benchmark_filter='BM_(Memcpy|Volume|Reverse|Stretch|Compress|FadeIn|FadeOut)' \
        --benchmark_min_time=0.5
fi
