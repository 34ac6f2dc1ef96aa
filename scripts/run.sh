#!/usr/bin/env bash
# Sets up, builds and runs marlinet.exe under Wine, in the prefix's virtual
# desktop window so its notification area shows on any Linux desktop.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target marlinet
# A folder of its own, laid out as the package: the program and its sounds
# always fresh, the default settings only where the user has none yet.
folder=build/run/Marlinet
mkdir -p "$folder"
cp build/windows/Marlinet/Marlinet.exe build/windows/Marlinet/*.wav "$folder"/
for f in prefs.kvr proc.kvr; do
  [ -e "$folder/$f" ] || cp "package/$f" "$folder/$f"
done
source scripts/wine-env.sh
bash scripts/wine-prefix.sh
if [ -z "${DISPLAY:-}" ]; then
  source scripts/xvfb.sh
  trap stop_xvfb EXIT INT TERM
  start_xvfb
  echo "No display: running under Xvfb on $DISPLAY (screenshot: import -display $DISPLAY -window root shot.png)"
fi
echo "Marlinet runs in the notification area of the Wine desktop: right-click its bell for the menu."
wine "$folder/Marlinet.exe"
