#!/usr/bin/env bash
# Builds what a user downloads: marlinet-<version>-win32.zip, one folder with
# the program, its sounds, default settings and a read-me, and
# marlinet-<version>-setup.exe, which installs the same files.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
bash scripts/setup.sh
# RELEASE_URL: where this version's files will be published, for the
# winget manifest's addresses.
# Given every time, so that an address of an earlier run never stays.
cmake --preset windows "-DRELEASE_URL=${RELEASE_URL:-}" >/dev/null
cmake --build --preset windows --target package_zip package_setup package_winget
ls -d build/windows/marlinet-*-win32.zip build/windows/marlinet-*-setup.exe build/windows/LICENSE.txt \
  build/windows/marlinet-*-winget/*
