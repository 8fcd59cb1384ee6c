#!/usr/bin/env bash
# Installed, copied elsewhere and run with nothing in its environment pointing
# back, the program draws the build's screen pixel for pixel (a screen that
# differs without the alias file).  Usage: test_installed.sh BUILD
set -euo pipefail
build=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cmake --install "$build" --prefix "$work/prefix" >/dev/null
cp -a "$work/prefix" "$work/copy" && rm -rf "$work/prefix"
cd "$work"
keep=$(env | grep -E '^(ASAN|LSAN|UBSAN)_OPTIONS=' || true)
shot() { env -i HOME="$work" PATH=/usr/bin:/bin $keep "${@:2}" --snapshot "$1" --replay 'type 2003; key Enter; type 11; key Enter'; }
shot installed.png copy/bin/rkm7500
shot built.png "$build/rkm7500"
shot plain.png RKM_FONTS_DIR=/none "$build/rkm7500"
cmp installed.png built.png
! cmp -s built.png plain.png
