#!/usr/bin/env bash
# Installs what the tests need, then builds and runs every test twice: a
# normal build, and a build with AddressSanitizer and
# UndefinedBehaviorSanitizer, where any report fails the run. Last, each
# libFuzzer target runs for about 30 seconds (scripts/fuzz.sh).
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

bash scripts/fuzz.sh
