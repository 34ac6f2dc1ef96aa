#!/usr/bin/env bash
# Builds what a user downloads: marlinet-<version>-win32.zip, one folder with
# the program, its sounds, default settings and a read-me, and
# marlinet-<version>-setup.exe, which installs the same files, with the
# winget manifest and the build information (the tools' versions) beside it.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh
# One commit gives the same files byte for byte, wherever, whenever and by
# whomever it is built: every time written into them is the commit's (the
# programs' headers, the files' times in the zip and the setup), DOS times
# are taken in UTC, and files are made rw-r--r--.
if [ -z "${SOURCE_DATE_EPOCH:-}" ]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null || true)
fi
if [ -n "$SOURCE_DATE_EPOCH" ]; then
  export SOURCE_DATE_EPOCH
else
  unset SOURCE_DATE_EPOCH
  echo "package.sh: not a git checkout and no SOURCE_DATE_EPOCH: the files carry today's times" >&2
fi
export TZ=UTC
umask 022
# SIGN_COMMAND signs one file, %1 its path (see the README). It stays in the
# environment, out of the build's files; the configure below sees it.
# RELEASE_URL: where this version's files will be published, for the
# winget manifest's addresses.
# Given every time, so that an address of an earlier run never stays.
cmake --preset windows "-DRELEASE_URL=${RELEASE_URL:-}" >/dev/null
# Packed anew each time, so that a signed or unsigned package never stays
# from an earlier run.
rm -rf build/windows/package build/windows/marlinet-*-win32.zip build/windows/marlinet-*-setup.exe \
  build/windows/marlinet-*-winget build/windows/marlinet-*-build-info.txt
cmake --build --preset windows --target package_zip package_setup package_winget
ls -d build/windows/marlinet-*-win32.zip build/windows/marlinet-*-setup.exe build/windows/LICENSE.txt \
  build/windows/marlinet-*-winget/* build/windows/marlinet-*-build-info.txt
