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

echo "== the core's readers under libFuzzer (a short bounded run)"
bash scripts/fuzz.sh 8

echo "== windows build"
cmake --preset windows >/dev/null
cmake --build --preset windows

echo "== Win32 and end-to-end tests under Wine"
source scripts/wine-session.sh
start_wine_session
# A Wine test that fails is run once more: Wine hands pointer and window events
# over from the X server in its own time. A second failure fails the build, and
# the first one stays in the log above.
ctest --preset windows --repeat until-pass:2
