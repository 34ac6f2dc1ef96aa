#!/usr/bin/env bash
# Installs everything the two builds and the tests need on a Debian 12 machine.
# Idempotent: when every package is present it returns in well under a second.
#   setup.sh [package...]   also these (the benchmarks add valgrind)
set -euo pipefail

packages=(
  g++-mingw-w64-i686 cmake make g++ googletest libgtest-dev clang libclang-rt-14-dev
  wine wine32:i386 wine64
  xvfb xdotool imagemagick x11-apps sox gcc-multilib
  # A private sound server times what the program plays (scripts/latency.sh).
  pulseaudio
  # Where PulseAudio is installed, ALSA loads its hook in every 32-bit
  # process, and the tests' sound capture fails without the 32-bit plugins.
  libasound2-plugins:i386
  fonts-wine fonts-liberation e2fsprogs nsis
  # The zip a release is packed with, and what signs and checks it.
  zip unzip osslsigncode openssl
  "$@"
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
