#!/usr/bin/env bash
# Pictures of every page the setup and the uninstaller show, at 96 and at
# 144 DPI, taken from the real setup on the Wine desktop:
#   setup-pictures.sh [folder]   (default build/windows/setup-pictures)
# It walks the pages with the keyboard, a fixed while apart: an install
# (with a Startup shortcut to a copy in another folder), an upgrade refused
# while Marlinet shows a box, and an uninstall. It uses the build's prefix
# and leaves no install behind.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
out=$(realpath -m "${1:-build/windows/setup-pictures}")
setup=$(ls build/windows/marlinet-*-setup.exe 2>/dev/null | head -1)
[ -n "$setup" ] || { echo "no setup: run make package first" >&2; exit 1; }
mkdir -p "$out"
source scripts/wine-session.sh
start_wine_session

run_key='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
restart_wine() {
  # Wine's boot starts what the Run key names: nothing of ours may be there.
  wine reg delete "$run_key" /v Marlinet /f >/dev/null 2>&1
  wineserver -k
  wineserver -w
  wineserver -p >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
}
winvar() { winepath -u "$(wine cmd /c "echo %$1%" 2>/dev/null | tr -d '\r')" 2>/dev/null | tr -d '\r'; }
source scripts/shell-link.sh

for dpi in 96 144; do
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  restart_wine
  inst="$(winvar LOCALAPPDATA)/Programs/Marlinet"
  startup="$(winvar APPDATA)/Microsoft/Windows/Start Menu/Programs/StartUp"
  rm -rf "$inst"
  mkdir -p "$startup"
  make_link "$startup/Ship bells.lnk" 'C:\Users\Public\Documents\Marlinet\Marlinet.exe'
  shot() { sleep "${2:-2.5}"; import -window root -crop 1024x768+0+0 +repage "$out/$1-$dpi.png"; }
  key() { xdotool mousemove 512 384 key "$1"; }

  wine "$setup" >/dev/null 2>&1 &
  shot 01-account-question 4  # Wine runs every program as an administrator
  key Return
  shot 02-welcome
  key Return
  shot 03-startup-shortcut-question 4
  key Return
  shot 04-installed 3
  key Return
  shot 05-finish
  key Return
  sleep 3
  restart_wine
  # Without its settings Marlinet starts with a box, and so will not quit.
  rm -f "$inst/prefs.kvr"
  wine "$inst/Marlinet.exe" >/dev/null 2>&1 &
  sleep 3
  wine "$setup" >/dev/null 2>&1 &
  sleep 3
  key Return
  shot 06-upgrade-welcome
  key Return
  shot 07-running-copy-busy 5
  key Escape
  shot 08-upgrade-abandoned 2
  key Return
  sleep 1
  restart_wine
  # Started by uninstall.exe, which asks for no elevation, the uninstaller
  # runs with limited rights under Wine and asks no account question: the
  # picture of that question (09) stays the one taken before.
  wine "$inst/uninstall.exe" >/dev/null 2>&1 &
  shot 10-uninstall-confirm 4
  key Return
  shot 11-uninstall-keep-settings
  key space  # "Also remove my settings and launch list"
  shot 11b-uninstall-keep-settings-ticked 1
  key Return
  shot 12-uninstalled 5
  key Return
  sleep 2
  rm -f "$startup/Ship bells.lnk"
  [ -d "$inst" ] && echo "left in $inst: $(ls "$inst" | tr '\n' ' ')" >&2
done
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f >/dev/null 2>&1
ls "$out"
