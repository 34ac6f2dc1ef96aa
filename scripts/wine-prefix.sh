#!/usr/bin/env bash
# Creates the build's 32-bit Wine prefix once: Wine's own fonts in its Fonts
# folder (so "MS Sans Serif" is the real raster face), metric-compatible faces
# for Arial and Courier New, and a fixed-size virtual desktop as the default, so
# that windows and the notification area have known places.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-env.sh"
stamp="$WINEPREFIX/.marlinet-prefix-v1"
[ -f "$stamp" ] && exit 0

mkdir -p "$WINEPREFIX"
wineboot -i >/dev/null 2>&1
wineserver -w
fonts="$WINEPREFIX/drive_c/windows/Fonts"
mkdir -p "$fonts"
cp -f /usr/share/wine/fonts/* "$fonts/"

reg=$(mktemp --suffix=.reg)
cat >"$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Explorer]
"Desktop"="Default"

[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]
"Default"="1024x768"

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Courier New"="Liberation Mono"
"Times New Roman"="Liberation Serif"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"mscoree"=""
"mshtml"=""
REG
wine regedit /S "$(winepath -w "$reg")" >/dev/null 2>&1
wineserver -w
rm -f "$reg"
touch "$stamp"
