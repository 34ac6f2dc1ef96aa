#!/usr/bin/env bash
# Refreshes the README's pictures from the real program: the end-to-end
# cases that take them run under Wine, and their shots are copied to docs/.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows
source scripts/wine-session.sh
start_wine_session
ctest --preset windows -R 'e2e\.(guide_pictures|mute_by_tray_click|windows_scale_at_144_dpi)'
shots=build/windows/e2e-artefacts
mkdir -p docs
# The package's places and a few launch entries, as a user has them.
for name in main-window clocks-window clocks-help clocks-zones clocks-ships-time tray-tip \
  editor-window bell-options launch-options plan-time; do
  cp "$shots/guide-$name.png" "docs/$name.png"
done
cp "$shots/main-window-144.png" docs/
# The menu opens at the tray icon, in the bottom-right corner of the desktop.
convert "$shots/menu-muted.png" -crop 220x165+804+600 +repage docs/tray-menu.png
ls -la docs
