#!/usr/bin/env bash
# Sets up, builds both builds and runs every test: the core natively (with
# sanitizers), then the Win32 layer and the whole program under Wine.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh

echo "== native build and core tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows

echo "== Win32 and end-to-end tests under Wine"
source scripts/wine-env.sh
bash scripts/wine-prefix.sh
source scripts/xvfb.sh
cleanup() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  stop_xvfb
}
trap cleanup EXIT
start_xvfb
# Wine's services must be up before ctest starts, or they inherit its output
# pipe and every test waits on them.
wineserver -p
wine wineboot >/dev/null 2>&1
ctest --preset windows
