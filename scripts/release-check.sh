#!/usr/bin/env bash
# Proves what a package manager relies on, for the commit checked out (HEAD):
#  - two `make package` runs that differ in every way a build machine may
#    (time, time zone, umask, folder, the sources' file times) give the same
#    files byte for byte, unsigned and signed with one key and signing time;
#  - SIGN_COMMAND signs Marlinet.exe, uninstall.exe, the uninstaller and the
#    setup, each checked against the certificate (the uninstallers as an
#    installed copy holds them), and the manifest's hash is the signed setup's;
#  - with the signatures taken off, the signed files are the unsigned ones,
#    which is how anyone without the key checks a signed release.
# The key is a throwaway self-signed certificate made here. Takes a few
# minutes: both packages are built from fresh clones.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
root=$(cd "$here/.." && pwd)
cd "$root"
bash scripts/setup.sh
commit=$(git rev-parse HEAD)
[ -z "$(git status --porcelain --untracked-files=no)" ] ||
  echo "release-check: checks the commit $commit; the changes not committed are not in it" >&2

tmp=$(mktemp -d /tmp/marlinet-release.XXXXXX)
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
cleanup() {
  [ "$(type -t stop_wine_session)" = function ] && stop_wine_session
  rm -rf "$tmp"
}
trap cleanup EXIT

# Two clones in unlike places; the second is made later and its files are
# touched again, so every source is newer there.
one=$tmp/one/marlinet
two=$tmp/elsewhere/a-second-clone
for dir in "$one" "$two"; do
  git clone -q --no-checkout "$root" "$dir"
  git -C "$dir" checkout -q --detach "$commit"
done

package() {  # package <clone> <TZ> <umask> [SIGN_COMMAND]: make package as a user's shell would
  (
    cd "$1"
    umask "$3"
    env -u SOURCE_DATE_EPOCH -u SIGN_COMMAND TZ="$2" make package ${4:+"SIGN_COMMAND=$4"} \
      >"$1.log" 2>&1
  ) || {
    tail -30 "$1.log" >&2
    fail "make package in $1"
  }
}
released() {  # every file a release publishes, and the package folder, of a clone
  (cd "$1/build/windows" && find package marlinet-*-win32.zip marlinet-*-setup.exe marlinet-*-winget \
    -type f | LC_ALL=C sort)
}
same_release() {  # same_release <what>: the two clones' files are the same byte for byte
  local files f
  files=$(released "$one")
  [ "$files" = "$(released "$two")" ] || fail "$1: the two builds made different files"
  [ "$(echo "$files" | grep -c .)" -ge 7 ] || fail "$1: too few files: $files"
  while read -r f; do
    cmp "$one/build/windows/$f" "$two/build/windows/$f" || fail "$1: $f differs between the two builds"
  done <<<"$files"
  echo "== $1: $(echo "$files" | grep -c .) files the same byte for byte"
}

SECONDS=0
echo "== two unsigned packages"
package "$one" UTC 022
sleep 2
find "$two" -path "$two/.git" -prune -o -type f -exec touch {} +
package "$two" Pacific/Chatham 077
same_release "unsigned"
unsigned=$tmp/unsigned
cp -r "$one/build/windows/package" "$unsigned"
cp "$one"/build/windows/marlinet-*-setup.exe "$unsigned/setup.exe"
unsigned_time=$SECONDS

echo "== two signed packages"
key=$tmp/key
mkdir -p "$key"
openssl req -x509 -newkey rsa:2048 -nodes -keyout "$key/key.pem" -out "$key/cert.pem" -days 2 \
  -subj "/CN=Marlinet release check" -addext "keyUsage=critical,digitalSignature" \
  -addext "extendedKeyUsage=codeSigning" >/dev/null 2>&1 || fail "no throwaway certificate"
# A signing time inside the certificate's days, the same for both builds.
sign_time=$(($(date +%s) + 60))
sign="osslsigncode sign -certs '$key/cert.pem' -key '$key/key.pem' -h sha256 -n Marlinet -time $sign_time"
sign+=" -in \"%1\" -out \"%1.signed\" >/dev/null && mv \"%1.signed\" \"%1\""
package "$one" UTC 022 "$sign"
sleep 2
package "$two" Asia/Kathmandu 027 "$sign"
same_release "signed"
signed_time=$((SECONDS - unsigned_time))

# What a user gets: the zip's program, the setup, and the two uninstallers
# as the setup installs them (under Wine, in a prefix of its own).
win=$one/build/windows
setup=$(echo "$win"/marlinet-*-setup.exe)
mkdir -p "$tmp/zip"
(cd "$tmp/zip" && unzip -q "$(echo "$win"/marlinet-*-win32.zip)") || fail "cannot unpack the zip"
export WINEPREFIX=$tmp/prefix
source "$root/scripts/wine-session.sh"
start_wine_session
trap cleanup EXIT
install() {  # install <setup> <folder under C:\>
  wine "$1" /S /NoStartNow /NoStartWithWindows "/D=C:\\$2" >/dev/null 2>&1 || fail "installing $1 failed ($?)"
  [ -f "$WINEPREFIX/drive_c/$2/uninstall.bin" ] || fail "$1 installed no uninstall.bin"
}
install "$setup" signed
# A second install to another folder moves the first one there: keep what
# the signed setup installed before it goes.
installed=$tmp/installed-signed
cp -r "$WINEPREFIX/drive_c/signed" "$installed"
install "$unsigned/setup.exe" unsigned
for f in "$tmp/zip/Marlinet/Marlinet.exe" "$installed/Marlinet.exe" "$installed/uninstall.exe" \
  "$installed/uninstall.bin" "$setup"; do
  osslsigncode verify -CAfile "$key/cert.pem" -in "$f" >"$tmp/verify.log" 2>&1 || {
    cat "$tmp/verify.log" >&2
    fail "${f#"$tmp"/} is not signed with the release check's certificate"
  }
  echo "signed: ${f#"$tmp"/}"
done
for f in "$unsigned/Marlinet/Marlinet.exe" "$WINEPREFIX/drive_c/unsigned/uninstall.bin" "$unsigned/setup.exe"; do
  osslsigncode verify -CAfile "$key/cert.pem" -in "$f" >/dev/null 2>&1 &&
    fail "${f#"$tmp"/} is signed in a build without SIGN_COMMAND"
done

sha=$(sha256sum "$setup" | cut -d' ' -f1)
grep -q "InstallerSha256: ${sha^^}" "$win"/marlinet-*-winget/Marlinet.Marlinet.installer.yaml ||
  fail "the manifest does not give the signed setup's SHA-256 ${sha^^}"
[ "$sha" != "$(sha256sum "$unsigned/setup.exe" | cut -d' ' -f1)" ] || fail "the signed setup is the unsigned one"
echo "the manifest gives the signed setup's SHA-256"

# Without the key: take each signature off and compare with an unsigned build.
strip_same() {  # strip_same <signed> <unsigned>
  osslsigncode remove-signature -in "$1" -out "$tmp/stripped" >/dev/null 2>&1 || fail "cannot unsign $1"
  cmp "$tmp/stripped" "$2" || fail "${1#"$tmp"/} without its signature is not the unsigned build's"
  rm -f "$tmp/stripped"
}
strip_same "$tmp/zip/Marlinet/Marlinet.exe" "$unsigned/Marlinet/Marlinet.exe"
strip_same "$installed/Marlinet.exe" "$unsigned/Marlinet/Marlinet.exe"
strip_same "$installed/uninstall.exe" "$WINEPREFIX/drive_c/unsigned/uninstall.exe"
# The setup writes an unsigned uninstaller with no PE checksum; taking a
# signature off leaves the checksum signing set and the zeros that aligned
# the signature (under 8). Apart from those two, it is the unsigned one.
pe_checksum_off() {  # pe_checksum_off <file>: its PE header's checksum set to 0
  local pe
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  printf '\0\0\0\0' | dd of="$1" bs=1 seek=$((pe + 88)) conv=notrunc status=none
}
osslsigncode remove-signature -in "$installed/uninstall.bin" -out "$tmp/stripped" >/dev/null 2>&1 ||
  fail "cannot unsign uninstall.bin"
cp "$WINEPREFIX/drive_c/unsigned/uninstall.bin" "$tmp/unsigned.bin"
pe_checksum_off "$tmp/stripped"
pe_checksum_off "$tmp/unsigned.bin"
size=$(stat -c %s "$tmp/unsigned.bin")
padding=$(($(stat -c %s "$tmp/stripped") - size))
[ "$padding" -ge 0 ] && [ "$padding" -lt 8 ] &&
  [ -z "$(tail -c "$padding" "$tmp/stripped" | tr -d '\0')" ] || fail "uninstall.bin unsigned ends in $padding other bytes"
truncate -s "$size" "$tmp/stripped"
cmp "$tmp/stripped" "$tmp/unsigned.bin" || fail "uninstall.bin without its signature is not the unsigned setup's"
for f in "$tmp"/zip/Marlinet/*; do
  [ "${f##*/}" = Marlinet.exe ] || cmp "$f" "$unsigned/Marlinet/${f##*/}" ||
    fail "the signed zip's ${f##*/} is not the unsigned build's"
done
echo "without their signatures the signed files are the unsigned build's"
echo "== release check passed: unsigned builds ${unsigned_time} s, signed ${signed_time} s, all ${SECONDS} s"
