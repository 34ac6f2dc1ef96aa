#!/usr/bin/env bash
# Runs each of the core's fuzz targets for a bounded time from the committed
# seed corpus (tests/fuzz/corpus/<target>); what they find new is kept in
# build/fuzz/corpus, never in the repository.
#
#   fuzz.sh [seconds per target]     (default 10)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
seconds=${1:-10}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz
for target in settings launch place profile clock; do
  work=build/fuzz/corpus/$target
  mkdir -p "$work"
  log=build/fuzz/$target.log
  # A hang is a finding too: no single input may take a second.
  if ! "build/fuzz/tests/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=1 \
    -rss_limit_mb=2048 -print_final_stats=1 "$work" "tests/fuzz/corpus/$target" >"$log" 2>&1; then
    tail -40 "$log"
    echo "fuzz_$target: FAILED (see $log; the input is in the working folder)" >&2
    exit 1
  fi
  echo "fuzz_$target: $(awk '/stat::number_of_executed_units/ { print $2 }' "$log") runs in ${seconds} s, no finding"
done
