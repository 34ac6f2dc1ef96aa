#!/usr/bin/env bash
# Checks a signed release without its key, for the commit checked out:
#   bash scripts/check-signed.sh <signed setup> [<signed zip>]
# 7-Zip (p7zip-full) unpacks the setup: its signed Marlinet.exe, uninstall.exe
# and uninstaller (uninstall.bin) beside its other files. Then make package
# builds this commit again and, where it would sign a file, takes the signed
# file of the release that, without its signature, is the one it built
# (release-files.sh transplant): the setup's own signature too, so the setup
# without its signature must be the one these sources, this script and these
# tools make, with every file in it. A release made from another script, or
# holding another file, signed or not, fails. The zip, when given, must be the
# package's byte for byte. Leaves the package so made in build/windows.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
fail() {
  echo "check-signed.sh: $*" >&2
  exit 1
}
[ $# -ge 1 ] && [ $# -le 2 ] || fail "usage: check-signed.sh <signed setup> [<signed zip>]"
setup=$(realpath "$1")
zip=${2:+$(realpath "$2")}
command -v 7z >/dev/null || fail "needs 7-Zip's 7z to unpack the setup (Debian: p7zip-full)"
cd "$here/.."
signed=$(mktemp -d /tmp/marlinet-signed.XXXXXX)
trap 'rm -rf "$signed"' EXIT
7z x -y -o"$signed/unpacked" "$setup" </dev/null >"$signed/7z.log" 2>&1 || {
  cat "$signed/7z.log" >&2
  fail "7z cannot unpack $setup"
}
cp "$setup" "$signed/setup.exe"
SIGN_COMMAND="bash '$here/release-files.sh' transplant '$signed' \"%1\"" make package \
  >"$signed/package.log" 2>&1 || {
  tail -30 "$signed/package.log" >&2
  fail "$setup is not what this commit makes (above: the step that differs)"
}
grep -a "signature taken" "$signed/package.log" | sed 's/^release-files.sh: /  /'
made=$(echo build/windows/marlinet-*-setup.exe)
cmp "$made" "$setup" || fail "$made is not $setup"
if [ -n "$zip" ]; then
  cmp "$(echo build/windows/marlinet-*-win32.zip)" "$zip" || fail "$zip is not what this commit makes"
fi
echo "check-signed.sh: ${setup##*/}${zip:+ and ${zip##*/}} without their signatures are this commit's build"
