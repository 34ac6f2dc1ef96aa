# Sourced: the Wine environment every script and test run shares: the build's
# own 32-bit prefix, no debug noise, and no Mono or Gecko installer prompts.
_marlinet_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${WINEPREFIX:-$_marlinet_root/build/wineprefix}
export WINEARCH=win32
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
