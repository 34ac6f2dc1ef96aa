#!/usr/bin/env bash
# The steps of the package that make it a release one can prove: the
# publisher's signature, and files that are the same byte for byte wherever
# and whenever they are built from one commit. Run by the build.
#   release-files.sh sign <file>            SIGN_COMMAND with %1 put in as <file>
#   release-files.sh stamp <file|folder>... rw-r--r--, and SOURCE_DATE_EPOCH as
#                                           the time of each, when it is given
#   release-files.sh zip <parent> <folder> <zip>   <parent>/<folder> into <zip>
#   release-files.sh transplant <folder> <file>     <file> replaced by the signed file
#                                           in <folder> that, without its
#                                           signature, is <file> (a SIGN_COMMAND
#                                           for scripts/check-signed.sh)
#   release-files.sh same-unsigned <signed> <plain>  whether <signed> without
#                                           its signature is <plain>
set -euo pipefail

stamp() {
  find "$@" -type f -exec chmod 644 {} +
  if [ -n "${SOURCE_DATE_EPOCH:-}" ]; then
    find "$@" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +
  fi
}

pe_checksum_off() {  # pe_checksum_off <file>: its PE header's checksum set to 0
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  printf '\0\0\0\0' | dd of="$1" bs=1 seek=$((pe + 88)) conv=notrunc status=none
}

# same_unsigned <signed> <plain>: <signed> with its signature taken off is
# <plain>, apart from the PE checksum signing set (the plain one may have
# none) and the zeros, fewer than 8, that aligned the signature.
same_unsigned() {
  local work size padding same=1
  work=$(mktemp -d)
  if osslsigncode remove-signature -in "$1" -out "$work/signed" >/dev/null 2>&1; then
    cp "$2" "$work/plain"
    pe_checksum_off "$work/signed"
    pe_checksum_off "$work/plain"
    size=$(stat -c %s "$work/plain")
    padding=$(($(stat -c %s "$work/signed") - size))
    if [ "$padding" -ge 0 ] && [ "$padding" -lt 8 ] && [ -z "$(tail -c "$padding" "$work/signed" | tr -d '\0')" ]; then
      truncate -s "$size" "$work/signed"
      cmp -s "$work/signed" "$work/plain" && same=0
    fi
  fi
  rm -rf "$work"
  return $same
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
transplant)
  # Signs by taking the signature a published release gave this very file:
  # a file of the release that is signed and, without its signature, is
  # the build's file. None is there when the release was built from other
  # sources, another script or other tools.
  plain_size=$(stat -c %s "$3")
  while IFS= read -r -d '' signed; do
    [ "$(stat -c %s "$signed")" -gt "$plain_size" ] || continue
    if same_unsigned "$signed" "$3"; then
      cp "$signed" "$3"
      echo "release-files.sh: ${3##*/} is ${signed#"$2"/} without its signature: signature taken" >&2
      exit 0
    fi
  done < <(find "$2" -type f -print0 | LC_ALL=C sort -z)
  echo "release-files.sh: no signed file in $2 is $3 with a signature:" \
    "the signed release was not built from these sources with these tools" >&2
  exit 1
  ;;
same-unsigned)
  same_unsigned "$2" "$3"
  ;;
*)
  echo "usage: release-files.sh sign <file> | stamp <file>... | zip <parent> <folder> <zip>" \
    "| transplant <folder> <file> | same-unsigned <signed> <plain>" >&2
  exit 2
  ;;
esac
