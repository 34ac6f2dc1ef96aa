#!/usr/bin/env bash
# The digital clock's cost: cells drawn per tick, and the instructions of one
# full drawing and of one idle tick of its face (callgrind counts them the
# same on every run, however busy the machine).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh valgrind
source scripts/callgrind.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench --target clock_bench >/dev/null
bench=build/bench/clock_bench
out=build/bench/clock-bench.md
{
  echo "# The digital clock's face"
  echo
  "$bench" cells
  echo
  echo "| work (core, hh:mm) | instructions |"
  echo "|---|---|"
  echo "| one full drawing | $(per_repetition "$bench" full) |"
  echo "| one idle tick (same minute) | $(per_repetition "$bench" idle) |"
} | tee "$out"
echo "written to $out"
