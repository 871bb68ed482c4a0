#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite with CTest.
# SONREL_SANITIZE=1 builds and tests with AddressSanitizer and UBSan.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
dir="$(bash "$root/scripts/build.sh" | tail -n 1)"
cd "$dir"
ctest --output-on-failure --timeout 900 "$@"
