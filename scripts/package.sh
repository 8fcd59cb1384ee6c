#!/usr/bin/env bash
# Builds the Debian package of the calendar in build/package/ and checks it
# with lintian; prints the package's path last.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
rm -f build/package/*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls "$PWD"/build/package/rkm7500_*.deb)
lintian --fail-on error,warning "$deb" >&2
echo "$deb"
