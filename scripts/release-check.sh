#!/usr/bin/env bash
# Proves what a package manager relies on, for the commit checked out (HEAD):
#  - two `make package` runs that differ in every way a build machine may
#    (time, time zone, umask, folder, the sources' file times) give the same
#    files byte for byte, unsigned and signed with one key and signing time;
#  - SIGN_COMMAND signs Marlinet.exe, uninstall.exe, the uninstaller and the
#    setup, each checked against the certificate (the uninstallers as an
#    installed copy holds them), and the manifest's hash is the signed setup's;
#  - the build information (the tools' versions) is written and the same;
#  - without the key, scripts/check-signed.sh finds the signed setup and zip
#    to be this commit's (each signed file without its signature the
#    build's, and the setup's script and every other file the same), which
#    is how anyone checks a signed release; a setup from another script
#    with the same files, signed, fails it.
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
    marlinet-*-build-info.txt -type f | LC_ALL=C sort)
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
zip=$(echo "$win"/marlinet-*-win32.zip)
mkdir -p "$tmp/zip"
(cd "$tmp/zip" && unzip -q "$zip") || fail "cannot unpack the zip"
# -y and no input: the setup holds empty markers that share a name, and 7z
# would otherwise stop to ask which to keep.
7z x -y -o"$tmp/unsigned-setup" "$unsigned/setup.exe" </dev/null >/dev/null ||
  fail "7z cannot unpack the unsigned setup"
export WINEPREFIX=$tmp/prefix
source "$root/scripts/wine-session.sh"
start_wine_session
trap cleanup EXIT
wine "$setup" /S /NoStartNow /NoStartWithWindows "/D=C:\\signed" >/dev/null 2>&1 || fail "installing $setup failed ($?)"
installed=$WINEPREFIX/drive_c/signed
[ -f "$installed/uninstall.bin" ] || fail "$setup installed no uninstall.bin"
for f in "$tmp/zip/Marlinet/Marlinet.exe" "$installed/Marlinet.exe" "$installed/uninstall.exe" \
  "$installed/uninstall.bin" "$setup"; do
  osslsigncode verify -CAfile "$key/cert.pem" -in "$f" >"$tmp/verify.log" 2>&1 || {
    cat "$tmp/verify.log" >&2
    fail "${f#"$tmp"/} is not signed with the release check's certificate"
  }
  echo "signed: ${f#"$tmp"/}"
done
for f in "$unsigned/Marlinet/Marlinet.exe" "$tmp/unsigned-setup/uninstall.exe" \
  "$tmp/unsigned-setup/uninstall.bin" "$unsigned/setup.exe"; do
  osslsigncode verify -CAfile "$key/cert.pem" -in "$f" >/dev/null 2>&1 &&
    fail "${f#"$tmp"/} is signed in a build without SIGN_COMMAND"
done

sha=$(sha256sum "$setup" | cut -d' ' -f1)
grep -q "InstallerSha256: ${sha^^}" "$win"/marlinet-*-winget/Marlinet.Marlinet.installer.yaml ||
  fail "the manifest does not give the signed setup's SHA-256 ${sha^^}"
[ "$sha" != "$(sha256sum "$unsigned/setup.exe" | cut -d' ' -f1)" ] || fail "the signed setup is the unsigned one"
echo "the manifest gives the signed setup's SHA-256"

# The build information names each tool with its version (and the two
# builds' are the same, as every file above).
info=$(echo "$win"/marlinet-*-build-info.txt)
for tool in "Windows compiler" binutils "host compiler" NSIS zip CMake; do
  grep -Eq "^$tool[^:]*: .*[0-9]+\.[0-9]+" "$info" || fail "${info##*/} gives no version of $tool"
done
echo "${info##*/} names the versions of the compiler, binutils, NSIS and zip"

# Without the key, as anyone checks a signed release: the second clone
# builds again, taking each signature from the first's signed setup where
# the file without it is its own, and must make that setup and zip.
(cd "$two" && env -u SOURCE_DATE_EPOCH -u SIGN_COMMAND bash scripts/check-signed.sh "$setup" "$zip") ||
  fail "the signed release does not check without the key"
# A setup from another script holding the same files, signed with the key,
# does not pass (installing it would put the same files in place).
cp "$setup" "$tmp/release-setup.exe"
printf '\nSection "-Another"\n  DetailPrint "another script"\nSectionEnd\n' >>"$one/package/marlinet.nsi"
package "$one" UTC 022 "$sign"
git -C "$one" checkout -q package/marlinet.nsi
cmp -s "$setup" "$tmp/release-setup.exe" && fail "another script made the same setup"
(cd "$two" && env -u SOURCE_DATE_EPOCH -u SIGN_COMMAND bash scripts/check-signed.sh "$setup") >"$tmp/other.log" 2>&1 &&
  fail "a setup from another script passes check-signed.sh"
grep -q "no signed file .* is .*setup.exe with a signature" "$tmp/other.log" || {
  cat "$tmp/other.log" >&2
  fail "check-signed.sh refused the setup from another script for another reason"
}
echo "a setup from another script with the same files, signed, is refused"
echo "== release check passed: unsigned builds ${unsigned_time} s, signed ${signed_time} s, all ${SECONDS} s"
