#!/usr/bin/env bash
# Installs what the tests need, then builds and runs every test twice: a
# normal build, and a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh

bash scripts/build.sh
ctest --test-dir build --output-on-failure -j2

bash scripts/build.sh --sanitize
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1:strict_string_checks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
ctest --test-dir build-asan --output-on-failure -j2

# In CI (as root on a fresh system): the Debian package installs with its
# dependencies, runs from /usr/bin, and removes without a trace.
if [ -n "${CI:-}" ] && [ "$(id -u)" -eq 0 ]; then
  deb=$(bash scripts/package.sh | tail -1)
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q "$deb"
  files=$(dpkg -L rkm7500)
  (cd "$(mktemp -d)" && /usr/bin/rkm7500 --snapshot installed.png && test -s installed.png)
  apt-get purge -y -q rkm7500
  for f in $files; do [ -d "$f" ] || [ ! -e "$f" ] || { echo "left behind: $f"; exit 1; }; done
fi
