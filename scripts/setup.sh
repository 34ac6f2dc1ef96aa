#!/usr/bin/env bash
# Installs everything the two builds and the tests need on a Debian 12 machine.
# Idempotent: when every package is present it returns in well under a second.
#   setup.sh [package...]   also these (the benchmarks add valgrind)
# A mirror in the middle of a sync can serve an index of the wrong size for
# hours; the setup then goes on without that index and, if the install cannot
# be resolved that way, prefers the release's own suite for it.
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
  # Unpacks a setup to compare two releases' contents.
  p7zip-full
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

tries=${MARLINET_APT_TRIES:-3}
delay=${MARLINET_APT_DELAY:-5}
log=$(mktemp)
trap 'rm -f "$log"' EXIT

# The indexes apt could not read, one a line, from its "Failed to fetch" errors.
failed_indexes() {
  sed -n 's/^[EW]: Failed to fetch \([^ ]*\).*/\1/p' "$log" | sort -u
}

updated=0
for ((try = 1; try <= tries; try++)); do
  if $SUDO apt-get update -qq >"$log" 2>&1 && ! grep -q '^[EW]: Failed to fetch' "$log"; then
    updated=1
    break
  fi
  [ "$try" -lt "$tries" ] && sleep "$delay"
done
unread=""
if [ "$updated" -eq 0 ]; then
  unread=$(failed_indexes)
  [ -n "$unread" ] || unread=$(tail -n 3 "$log")
  echo "setup: warning: after $tries tries apt could not read these package indexes; going on without them:" >&2
  printf '  %s\n' $unread >&2
fi

install=($SUDO apt-get install -y -qq --no-install-recommends)
if "${install[@]}" "${missing[@]}"; then
  exit 0
fi

codename=$(. "${MARLINET_OS_RELEASE:-/etc/os-release}" && echo "${VERSION_CODENAME:-}")
if [ -n "$codename" ]; then
  echo "setup: the install could not be resolved; trying once more preferring the release's own suite ($codename)" >&2
  retry=($SUDO apt-get install -y -qq --no-install-recommends -o "APT::Default-Release=$codename")
  if "${retry[@]}" "${missing[@]}"; then
    exit 0
  fi
fi

echo "setup: error: the packages could not be installed." >&2
[ -n "$unread" ] && printf '  index not read: %s\n' $unread >&2
echo "  tried: ${retry[*]:-${install[*]}} ${missing[*]}" >&2
exit 1
