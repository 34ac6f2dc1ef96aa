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
ctest --preset windows -R 'e2e\.(main_window_screenshot|mute_by_tray_click|clocks_window|processes_ok)'
shots=build/windows/e2e-artefacts
mkdir -p docs
cp "$shots/main-window.png" "$shots/clocks-window.png" "$shots/clocks-help.png" \
  "$shots/editor-window.png" docs/
# The menu opens at the tray icon, in the bottom-right corner of the desktop.
convert "$shots/menu-muted.png" -crop 220x150+804+610 +repage docs/tray-menu.png
ls -la docs
