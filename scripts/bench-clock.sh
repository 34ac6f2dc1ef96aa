#!/usr/bin/env bash
# The digital clock's cost: cells drawn per tick, and the instructions of one
# full drawing and of one idle tick of its face (callgrind counts them the
# same on every run, however busy the machine).
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh
if ! command -v valgrind >/dev/null; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get install -y -qq --no-install-recommends valgrind
fi
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench --target clock_bench >/dev/null
bench=build/bench/clock_bench
out=build/bench/clock-bench.md
instructions() {  # the program's total instructions for one run
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 |
    awk '/Collected :/ { print $4 }'
}
per() {  # per <what>: instructions of one repetition
  local none many
  none=$(instructions "$bench" "$1" 0)
  many=$(instructions "$bench" "$1" 10000)
  echo $(((many - none) / 10000))
}
{
  echo "# The digital clock's face"
  echo
  "$bench" cells
  echo
  echo "| work (core, hh:mm) | instructions |"
  echo "|---|---|"
  echo "| one full drawing | $(per full) |"
  echo "| one idle tick (same minute) | $(per idle) |"
} | tee "$out"
echo "written to $out"
