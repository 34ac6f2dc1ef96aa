#!/usr/bin/env bash
# Runs a cross-compiled Windows executable under the build's Wine prefix.
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/wine-session-env.sh"
source "$here/wine-env.sh"
exec wine "$@"
