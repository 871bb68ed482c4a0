#!/usr/bin/env bash
# Installs what is missing, builds, and starts the editor with any file given.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/install-deps.sh"
dir="$(bash "$root/scripts/build.sh" | tail -n 1)"
exec "$dir/bin/sonrel" "$@"
