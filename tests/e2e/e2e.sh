#!/usr/bin/env bash
# End-to-end cases: the real Marlinet.exe in a fresh program folder on the
# Wine virtual desktop, driven with real pointer clicks on its tray icon and
# by a small driver program that finds its windows.
#
#   e2e.sh <case>      (run by ctest with DISPLAY, WINEPREFIX and E2E_* set)
#
# Each case is a function case_<name> in areas/<area>.sh, one file for each
# area of the program; cases.list names every case with its area (ctest
# labels each case with it). The helpers the areas share are in lib/.
set -uo pipefail

e2e_dir=$(dirname "${BASH_SOURCE[0]}")
# The Wine session ctest gave the case, if it gave one.
source "$e2e_dir/../../scripts/wine-session-env.sh"
for file in "$e2e_dir"/lib/*.sh "$e2e_dir"/areas/*.sh; do
  source "$file"
done

name=${1:?case}
declare -F "case_$name" >/dev/null || { echo "FAIL: no case named $name" >&2; exit 2; }
mkdir -p "$E2E_ARTEFACTS"
# A case cut short may have left the session's running count moved.
reset_running_count
"case_$name"
echo "PASS: $name"
