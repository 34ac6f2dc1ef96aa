#!/usr/bin/env bash
# The shipped programs start on Windows XP SP3: every function their import
# tables name is on package/windows_functions.txt, which holds only functions
# Windows XP SP3 or earlier has, and what the sources look up by name as they
# run is the list's run-time part, no more and no less.
#   windows_imports_test.sh <objdump> <program>...
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
list=$root/package/windows_functions.txt
shown=package/windows_functions.txt
objdump=$1
shift
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The versions each part may name; the imported part only XP and older.
xp_or_older='Windows 2000|Windows XP|Windows XP SP1|Windows XP SP2|Windows XP SP3'
newer='Windows Vista|Windows Vista SP1|Windows 7|Windows 8|Windows 8.1|Windows 10 [0-9]+|Windows 11'

# "dll function version" lines of one part, the DLL in lower case.
part() {
  awk -v want="$1" '
    /^\[/ { section = $0; next }
    /^[ \t]*(#|$)/ { next }
    section == want {
      version = $0; sub(/^[ \t]*[^ \t]+[ \t]+[^ \t]+[ \t]+/, "", version)
      print tolower($1), $2, version
    }' "$list"
}

# "dll function" for each import of a program: by name, or by ordinal.
imports() {
  "$objdump" -p "$1" | awk '
    /^The Import Tables/ { inside = 1; next }
    inside && /^[A-Z]/ { inside = 0 }
    inside && /^\tDLL Name:/ { dll = tolower($3); next }
    inside && dll != "" && /^\t[0-9a-f]+\t/ {
      name = $NF
      if (NF < 3 || name ~ /^[0-9]+$/) name = "ordinal-" $(NF)
      print dll, name
    }'
}

# Checks the programs given with the objdump given; prints each fault.
check() {
  local dump=$1
  shift
  local faults=0
  part '[imported]' >"$work/imported"
  part '[looked up at run time]' >"$work/runtime"
  [ -s "$work/imported" ] || { echo "the list has no [imported] part"; return 1; }
  while read -r dll fn version; do
    if ! [[ $version =~ ^($xp_or_older)$ ]]; then
      echo "$shown lists $dll!$fn as imported with \"$version\": only functions of Windows XP SP3 or earlier may be imported"
      faults=1
    fi
  done <"$work/imported"
  while read -r dll fn version; do
    if ! [[ $version =~ ^($xp_or_older|$newer)$ ]]; then
      echo "$shown gives $dll!$fn the unknown version \"$version\""
      faults=1
    fi
  done <"$work/runtime"

  : >"$work/all-imports"
  local program name
  for program in "$@"; do
    name=$(basename "$program")
    local header
    header=$("$dump" -p "$program")
    if ! grep -q 'file format pei-i386' <<<"$header"; then
      echo "$name is not a 32-bit Windows program"
      faults=1
    fi
    # XP starts programs that ask for Windows 5.1 or earlier.
    local major minor
    major=$(awk '/^MajorSubsystemVersion/ { print $2 }' <<<"$header")
    minor=$(awk '/^MinorSubsystemVersion/ { print $2 }' <<<"$header")
    if [ -z "$major" ] || [ "$major" -gt 5 ] || { [ "$major" -eq 5 ] && [ "$minor" -gt 1 ]; }; then
      echo "$name asks for Windows $major.$minor; XP is 5.1"
      faults=1
    fi
    if grep -Eq '^Entry d [0-9a-f]*[1-9a-f][0-9a-f]* ' <<<"$header"; then
      echo "$name has delayed imports, which this check does not read"
      faults=1
    fi
    objdump=$dump imports "$program" | sort -u >"$work/imports"
    if [ ! -s "$work/imports" ]; then
      echo "no imports read from $name"
      faults=1
    fi
    cat "$work/imports" >>"$work/all-imports"
    while read -r dll fn; do
      if grep -q "^$dll $fn " "$work/imported"; then continue; fi
      local later
      later=$(awk -v d="$dll" -v f="$fn" '$1 == d && $2 == f { $1 = ""; $2 = ""; sub(/^ +/, ""); print }' \
        "$work/runtime")
      if [ -n "$later" ]; then
        echo "$name imports $fn from $dll, which Windows has only from $later on: look it up where it exists (GetProcAddress) instead"
      else
        echo "$name imports $fn from $dll, which is not on $shown: look up its documented minimum; add it there if it is Windows XP SP3 or earlier, or look it up at run time"
      fi
      faults=1
    done <"$work/imports"
  done
  # The list stays true: nothing on it that neither program imports.
  sort -u "$work/all-imports" -o "$work/all-imports"
  while read -r dll fn version; do
    if ! grep -qx "$dll $fn" "$work/all-imports"; then
      echo "$shown lists $dll!$fn as imported, but no program imports it: take it off"
      faults=1
    fi
  done <"$work/imported"
  return $faults
}

# What the sources look up by name: the string given to GetProcAddress, or
# to the program's own LibraryEntry and LazyLibrary::Entry around it.
looked_up() {
  (cd "$root" && find app base bells launcher package settings ui widgets worldclock \
    -name '*.cpp' -o -name '*.h') | sort | while read -r file; do
    perl -0777 -ne '
      while (/\b(?:GetProcAddress|LibraryEntry\s*<[^;>]*>|Entry\s*<[^;>]*>)\s*\(([^;]*?)"(\w+)"\s*\)/g) {
        print "$2 $ARGV\n";
      }' "$root/$file"
  done
}

check_run_time() {
  local faults=0
  (cd "$root" && looked_up) | sed "s| $root/| |" | sort -u >"$work/looked-up"
  [ -s "$work/looked-up" ] || { echo "no run-time look-up found in the sources"; return 1; }
  while read -r fn file; do
    if ! awk -v f="$fn" '$2 == f { found = 1 } END { exit !found }' "$work/runtime"; then
      echo "$file looks up $fn at run time, which is not in the run-time part of $shown: add it with its DLL and documented minimum"
      faults=1
    fi
  done <"$work/looked-up"
  while read -r dll fn version; do
    if ! grep -q "^$fn " "$work/looked-up"; then
      echo "$shown lists $dll!$fn as looked up at run time, but no source looks it up by that name"
      faults=1
    fi
    if ! grep -rqiF "\"$dll\"" "$root"/{app,base,bells,launcher,package,settings,ui,widgets,worldclock}; then
      echo "$shown names $dll for $fn, but no source names that DLL"
      faults=1
    fi
  done <"$work/runtime"
  return $faults
}

status=0
if ! check "$objdump" "$@" >"$work/out"; then status=1; fi
if ! check_run_time >>"$work/out"; then status=1; fi
cat "$work/out"

# The check itself can fail: the same programs with one more import, from
# an objdump that adds GetTickCount64 to each KERNEL32.dll table, must be
# refused by name.
cat >"$work/objdump" <<STUB
#!/usr/bin/env bash
"$objdump" "\$@" | awk '{ print } /^\tDLL Name: KERNEL32.dll/ { getline; print; print "\t1234\t  999  GetTickCount64" }'
STUB
chmod +x "$work/objdump"
if check "$work/objdump" "$1" >"$work/refused"; then
  echo "the check took a program that imports GetTickCount64"
  status=1
elif ! grep -q "imports GetTickCount64 from kernel32.dll, which Windows has only from Windows Vista on" \
  "$work/refused"; then
  echo "the check refused a program that imports GetTickCount64 without naming it:"
  cat "$work/refused"
  status=1
fi

[ $status -eq 0 ] && echo "every import of $(for p in "$@"; do basename "$p"; done | paste -sd ' ') is on $shown; every run-time look-up is listed"
exit $status
