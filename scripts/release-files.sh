#!/usr/bin/env bash
# The steps of the package that make it a release one can prove: the
# publisher's signature, and files that are the same byte for byte wherever
# and whenever they are built from one commit. Run by the build.
#   release-files.sh sign <file>            SIGN_COMMAND with %1 put in as <file>
#   release-files.sh stamp <file|folder>... rw-r--r--, and SOURCE_DATE_EPOCH as
#                                           the time of each, when it is given
#   release-files.sh zip <parent> <folder> <zip>   <parent>/<folder> into <zip>
set -euo pipefail

stamp() {
  find "$@" -type f -exec chmod 644 {} +
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    find "$@" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  fi
}

case "${1:-}" in
sign)
  # The command comes from the environment, never from a file of the build:
  # it may hold a token's PIN or a key's password.
  [ -n "${SIGN_COMMAND:-}" ] || {
    echo "release-files.sh: this build signs, but SIGN_COMMAND is not set" >&2
    exit 1
  }
  # %1 is put in as it is, as makensis does for the setup and its
  # uninstaller, so one command serves all four files.
  command=${SIGN_COMMAND//%1/"$2"}
  bash -c "$command" || {
    echo "release-files.sh: the signing command failed for $2" >&2
    exit 1
  }
  ;;
stamp)
  shift
  stamp "$@"
  ;;
zip)
  # Info-ZIP with a sorted list: entries in one order, no folder entries,
  # no owner ids or extra times (-X), and the DOS times, which are local
  # times, taken in UTC.
  cd "$2"
  rm -f "$4"
  stamp "$3"
  find "$3" -type f | LC_ALL=C sort | TZ=UTC zip -X -D -q -@ "$4"
  ;;
*)
  echo "usage: release-files.sh sign <file> | stamp <file>... | zip <parent> <folder> <zip>" >&2
  exit 2
  ;;
esac
