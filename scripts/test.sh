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
# Two Wine sessions side by side, each test taking one of them (one on a
# machine of one core, where two would only slow each other's timed cases);
# the few tests that need the machine to themselves run alone.
sessions=$(($(nproc) >= 2 ? 2 : 1))
start_wine_sessions "$sessions"
# A Wine test that fails is run once more: Wine hands pointer and window events
# over from the X server in its own time. A second failure fails the build, and
# the first one stays in the log above.
ctest --preset wine-sessions --repeat until-pass:2 -j "$sessions"
