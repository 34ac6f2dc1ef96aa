#!/usr/bin/env bash
# scripts/setup.sh against a mirror in mid-sync: a stand-in apt-get, first on
# PATH, fails the update as such a mirror does; its install then resolves only
# when the release's own suite is preferred, or never.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin"
index=http://mirror.invalid/debian-security/dists/bookworm-security/main/binary-i386/Packages.xz
cat >"$work/bin/apt-get" <<STUB
#!/usr/bin/env bash
echo "apt-get \$*" >>"$work/calls"
case "\$1" in
  update)
    echo "E: Failed to fetch $index  File has unexpected size (374820 != 376004). Mirror sync in progress?" >&2
    exit 100 ;;
  install)
    if [ "\$(cat "$work/mode")" = resolves-on-release ] && [[ " \$* " == *" APT::Default-Release=bookworm "* ]]; then
      exit 0
    fi
    echo "E: Unable to correct problems, you have held broken packages." >&2
    exit 100 ;;
esac
STUB
printf '#!/bin/sh\nexec "$@"\n' >"$work/bin/sudo"
chmod +x "$work/bin/apt-get" "$work/bin/sudo"
printf 'ID=debian\nVERSION_CODENAME=bookworm\n' >"$work/os-release"

run_setup() {
  echo "$1" >"$work/mode"
  : >"$work/calls"
  PATH="$work/bin:$PATH" MARLINET_APT_DELAY=0 MARLINET_OS_RELEASE="$work/os-release" \
    bash "$root/scripts/setup.sh" marlinet-no-such-package-here >"$work/out" 2>&1
}
fail() { echo "FAIL: $*"; cat "$work/out"; echo "-- apt-get calls:"; cat "$work/calls"; exit 1; }

# 1. The mirror's index never reads; the install resolves on the second way.
run_setup resolves-on-release || fail "the setup exited non-zero though the install resolved on bookworm"
[ "$(grep -c '^apt-get update' "$work/calls")" -ge 2 ] || fail "the update was not tried again"
grep -q "warning.*$(basename "$index")" "$work/out" || grep -q "$index" "$work/out" || fail "no warning named the index"
grep -q 'APT::Default-Release=bookworm' "$work/calls" || fail "no install preferred bookworm"
[ "$(grep -c 'preferring' "$work/out")" -eq 1 ] || fail "the second way was not said in one line"

# 2. Nothing resolves: the setup fails, naming the index and the command.
if run_setup never-resolves; then fail "the setup exited 0 though nothing installed"; fi
grep -q "index not read: $index" "$work/out" || fail "the failure does not name the index"
grep -q "tried: apt-get install .*APT::Default-Release=bookworm .*marlinet-no-such-package-here" "$work/out" \
  || fail "the failure does not name the command tried"
