#!/bin/bash
# Installs the build under a fresh prefix and checks what a desktop needs:
# the program runs from there with its own libraries, the menu entry opens
# wave files with it, and its icon and documentation are where the entry and
# the program look for them.
# Usage: install_check.sh <build folder>
set -euo pipefail
build=$(readlink -f "$1")
prefix=$(mktemp -d /tmp/sonrel-install-XXXXXX)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "install: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null || fail "cmake --install failed"
[ -x "$prefix/bin/sonrel" ] || fail "no program in bin/"
for lib in libsonrel-platform.so librvg32.so libwavkit.so; do
    [ -n "$(find "$prefix" -name "$lib" -path '*/lib*/*')" ] || fail "$lib not installed"
done
# Its libraries come from the prefix, not from the build folder.
libs=$(env -u LD_LIBRARY_PATH ldd "$prefix/bin/sonrel")
if grep -q 'not found' <<<"$libs"; then fail "unresolved libraries: $libs"; fi
grep -q "$prefix/.*libwavkit.so" <<<"$libs" || fail "libwavkit.so not taken from the prefix"
version=$(QT_QPA_PLATFORM=offscreen timeout 20 "$prefix/bin/sonrel" --version) ||
    fail "the installed program does not start"
[ -n "$version" ] || fail "no version printed"

entry="$prefix/share/applications/sonrel.desktop"
[ -f "$entry" ] || fail "no menu entry"
grep -qx 'Exec=sonrel %f' "$entry" || fail "the entry does not start sonrel with the file"
grep -qx 'Icon=sonrel' "$entry" || fail "the entry names no icon"
grep -q '^MimeType=.*audio/x-wav;' "$entry" || fail "the entry opens no wave files"
grep -q '^MimeType=.*audio/wav;' "$entry" || fail "the entry lacks audio/wav"
if command -v desktop-file-validate >/dev/null; then desktop-file-validate "$entry"; fi
[ -f "$prefix/share/icons/hicolor/scalable/apps/sonrel.svg" ] || fail "no icon"
[ -f "$prefix/share/doc/sonrel/README.md" ] || fail "no documentation where the program looks"
echo "install: all present under $prefix"
