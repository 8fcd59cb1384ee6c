#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang in build-fuzz/ (with
# AddressSanitizer and UndefinedBehaviorSanitizer) and runs each on its
# starting inputs (fuzz/inputs/NAME) for a bounded time, FUZZ_SECONDS (30) each. Any sanitizer
# report, failed check, crash, leak or timeout fails the run; the input that
# caused it is left in build-fuzz/findings/. Each target's inputs run are
# listed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${FUZZ_SECONDS:-30}"

CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DRKM_FUZZ=ON -DRKM_BENCH=OFF >/dev/null
cmake --build build-fuzz -j2

export SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy
export ASAN_OPTIONS="abort_on_error=1:detect_leaks=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$PWD/tests/sanitizer/lsan.supp:print_suppressions=0"
findings="$PWD/build-fuzz/findings"
mkdir -p "$findings"
summary=()
status=0
for dir in "$PWD"/fuzz/inputs/*/; do
  name=$(basename "$dir")
  work=$(mktemp -d)  # new inputs go here: those in the tree stay as they are
  log="build-fuzz/$name.log"
  if build-fuzz/fuzz/"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$findings/$name-" "$work" "$dir" >"$log" 2>&1; then
    result=ok
  else
    result=FAILED
    status=1
    tail -n 40 "$log"
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  summary+=("$(printf '%-16s %10s inputs  %s' "$name" "${runs:-?}" "$result")")
  rm -rf "$work"
done
printf '%s\n' "${summary[@]}"
exit "$status"
