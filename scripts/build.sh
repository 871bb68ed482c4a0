#!/usr/bin/env bash
# Configures and builds into build/ (or build-asan/ with SONREL_SANITIZE=1).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
flags=()
if [ "${SONREL_SANITIZE:-0}" = "1" ]; then
  dir="$root/build-asan"
  flags+=(-DSONREL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >/dev/null
cmake --build "$dir" --parallel "$(nproc)"
echo "$dir"
