#!/usr/bin/env bash
# Builds one fuzz target with clang, libFuzzer and the address and undefined
# behaviour sanitizers into build-fuzz/, and runs it for MINUTES on a working
# copy of its seed corpus (build-fuzz/corpus-TARGET, kept between runs).
# A finding stops the run; its input lands in build-fuzz/findings-TARGET/.
#
#   scripts/fuzz.sh TARGET MINUTES     e.g. scripts/fuzz.sh settings 10
#
# TARGET is a file name of fuzz/ without .cpp (wavefile, clipboard, settings, ...).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target=${1:?usage: scripts/fuzz.sh TARGET MINUTES}
minutes=${2:?usage: scripts/fuzz.sh TARGET MINUTES}
[ -f "$root/fuzz/$target.cpp" ] || { echo "no fuzz target fuzz/$target.cpp" >&2; exit 2; }
dir="$root/build-fuzz"

cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DSONREL_FUZZ=ON -DSONREL_SANITIZE=ON >/dev/null
cmake --build "$dir" --target "fuzz-$target" --parallel "$(nproc)"

corpus="$dir/corpus-$target"
findings="$dir/findings-$target"
mkdir -p "$corpus" "$findings"
[ -d "$root/fuzz/corpus/$target" ] && cp -n "$root/fuzz/corpus/$target"/* "$corpus"/ 2>/dev/null || true

export QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0:allocator_may_return_null=1}
cd "$findings"
exec "$dir/bin/fuzz-$target" -max_total_time=$((minutes * 60)) -timeout=20 -rss_limit_mb=4096 \
    -print_final_stats=1 "$corpus"
