# The package and its setup.

case_the_package_starts_quietly_with_three_places() {
  work=$(mktemp -d /tmp/marlinet-e2e.XXXXXX)
  (cd "$work" && cmake -E tar xf "$E2E_PACKAGE") || fail "cannot unpack the package"
  local listed expected
  listed=$(cd "$work" && find . -type f | sort | tr '\n' ' ')
  expected=$(printf './Marlinet/%s\n' Marlinet.exe READ-ME.txt LICENSE.txt prefs.kvr proc.kvr \
    $(cd "$E2E_PROGRAM" && ls ./*.wav | sed 's|^\./||') | sort | tr '\n' ' ')
  [ "$listed" = "$expected" ] || fail "the package holds: $listed"
  cmp -s "$work/Marlinet/Marlinet.exe" "$E2E_PROGRAM/Marlinet.exe" || fail "not the tested exe"
  [ "$(grep -c $'\r$' "$work/Marlinet/READ-ME.txt")" = "$(wc -l <"$work/Marlinet/READ-ME.txt")" ] ||
    fail "READ-ME.txt has lines without CR LF"
  [ "$(drv icon-sizes "$(winpath "$work/Marlinet/Marlinet.exe")")" = "16 20 24 32 40 48" ] ||
    fail "the program icon holds $(drv icon-sizes "$(winpath "$work/Marlinet/Marlinet.exe")")"
  work="$work/Marlinet"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  stays 3 no_window || fail "a box or window showed at the first start"
  show_clocks
  local n
  for n in 1 2 3; do
    [ -n "$(panel_text "$(panel_rect $n)")" ] || fail "place $n shows no time"
  done
  [ -z "$(panel_text "$(panel_rect 4)")" ] || fail "place 4 shows a time"
  work=$(dirname "$work")
}

# The setup as a user, an administrator's script and a package manager meet
# it: a silent install, the installed copy running, a silent upgrade over it
# (refused while its launch list is open; rolled back when a file is held),
# the registered silent uninstall, a first install while the zip's copy
# runs, and an install into another program's folder, then upgraded there.
reg_value() {  # reg_value <key> <name>: the value's data, or nothing
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' |
    awk -v n="$2" '$1 == n { sub(/^ *[^ ]+ +[^ ]+ +/, ""); print; exit }'
}
yaml_value() {  # yaml_value <file> <key>: the key's first value, as written
  tr -d '\r' <"$1" | awk -v k="$2:" '{ sub(/^ *- /, "") } $1 == k { sub(/^ *[^:]+: */, ""); print; exit }'
}
# The process running Marlinet.exe from that folder (named by its last two parts).
marlinet_in() {
  local tail="$(basename "$(dirname "$1")")[/\\]$(basename "$1")[/\\]Marlinet\.exe"
  pgrep -f "$tail" | head -1
}
# An upgrade clicked through, past the account question Wine raises (it runs
# the setup as an administrator): Install, Next once the files are written,
# and on the last page the start-with-Windows box, seen unticked, is left
# so (0) or ticked (1) before Finish.
setup_has() {  # setup_has <caption> [check|press]: the setup's window has that control
  # Its title gains a word while it works ("Marlinet 1.0.0 Setup ...").
  local title
  title=$(drv list | awk -F'|' -v t="Marlinet $version Setup" '$1 == "#32770" && index($2, t) == 1 { print $2; exit }')
  [ -n "$title" ] || return 1
  case ${2:-} in
    check) drv checked "$title" "$1" "#32770" ;;
    press) drv press "$title" "$1" "#32770" ;;
    *) drv checked "$title" "$1" "#32770" >/dev/null ;;
  esac
}
startup_link=""  # a Startup folder shortcut a case made
box_from_setup() {  # box_from_setup <words>: the setup shows a box that says them
  drv list | grep -q "^#32770|Marlinet $version Setup" &&
    drv box-text "Marlinet $version Setup" 2>/dev/null | grep -q "$1"
}
install_by_hand() {  # the setup started as a person does, its welcome page's Install pressed
  wine "$E2E_SETUP" >/dev/null 2>&1 &
  setup_pid=$!
  check "the setup shows a window" drv wait "#32770" "$title" 15000
  if drv box-text "$title" | grep -q administrator; then
    drv box-ok "$title"
  fi
  check "the welcome page shows" eventually 10 setup_has "&Install"
  setup_has "&Install" press
}
upgrade_by_hand() {  # upgrade_by_hand <0|1> [asked]: "asked": the Startup shortcut question, answered No
  local title="Marlinet $version Setup" setup_pid
  install_by_hand
  if [ "${2:-}" = asked ]; then
    check "the Startup shortcut question comes" eventually 20 box_from_setup "Startup folder"
    drv press "$title" "&No" "#32770"
  fi
  check "the files are written" eventually 20 setup_has Completed
  [ "${2:-}" = asked ] || not box_from_setup "Startup folder" || fail "the Startup shortcut question came again"
  setup_has "&Next >" press
  check "the last page shows" eventually 10 setup_has "Start Marlinet when Windows starts"
  [ "$(setup_has "Start Marlinet when Windows starts" check)" = 0 ] ||
    fail "the upgrade shows start with Windows ticked although Task Manager has it switched off"
  [ "$1" = 1 ] && setup_has "Start Marlinet when Windows starts" press
  setup_has "&Finish" press
  local t=150
  while kill -0 "$setup_pid" 2>/dev/null; do
    t=$((t - 1))
    [ $t -le 0 ] && fail "the setup did not end"
    sleep 0.1
  done
}
quiet_uninstall() {  # [switch]: runs the uninstall entry's QuietUninstallString as given
  drv run "$(reg_value "$entry" QuietUninstallString)${1:+ $1}"
}
# Moves with /D= (winget's --location), each keeping what the person had:
# while Task Manager has Marlinet "Disabled"; with a zip copy running too
# and an earlier uninstall's settings in the new folder; and, with the old
# Marlinet.exe held, none at all.
setup_moves_keep_everything() {
  local a="$outer/MoveA" b="$outer/MoveB" c="$outer/MoveC" d="$outer/MoveD" zip="$outer/MoveZip"
  local disabled=03000000D40D438DC83BD901 code before
  wine "$E2E_SETUP" /S /NoStartNow "/D=$(winpath "$a")" >/dev/null 2>&1 || fail "the install into $a failed ($?)"
  wine reg add "$approved" /v Marlinet /t REG_BINARY /d $disabled /f >/dev/null 2>&1
  wine "$E2E_SETUP" /S /NoStartNow "/D=$(winpath "$b")" >/dev/null 2>&1 || fail "the move to $b failed ($?)"
  [ -f "$b/Marlinet.exe" ] && [ ! -e "$a/Marlinet.exe" ] || fail "the install did not move to $b"
  [ "$(reg_value "$approved" Marlinet)" = $disabled ] ||
    fail "the move switched Task Manager's Disabled to $(reg_value "$approved" Marlinet)"
  [ "$(reg_value "$run" Marlinet)" = "\"$(winpath "$b")\\Marlinet.exe\"" ] ||
    fail "a move while Disabled left the Run value at $(reg_value "$run" Marlinet)"

  mkdir -p "$zip"
  (cd "$zip" && cmake -E tar xf "$E2E_PACKAGE") || fail "cannot unpack the package"
  wine "$zip/Marlinet/Marlinet.exe" >/dev/null 2>&1 &
  others+=($!)
  work=$b
  places_prefs
  start_program
  check "the zip's copy and the installed one run" eventually 15 tray_windows 2
  mkdir -p "$c"
  printf 'stale' >"$c/prefs.kvr"
  printf 'stale' >"$c/proc.kvr"
  wine "$E2E_SETUP" /S "/D=$(winpath "$c")" >/dev/null 2>&1 || fail "the move to $c failed ($?)"
  check "the copy in $b ended" wait_exit 10
  cmp -s "$c/prefs.kvr" "$b/prefs.before" && cmp -s "$c/proc.kvr" "$b/proc.kvr" ||
    fail "the moved install's settings did not come along: prefs.kvr holds '$(head -c 40 "$c/prefs.kvr")'"
  [ "$(cat "$c/prefs.kvr.before-move")$(cat "$c/proc.kvr.before-move")" = stalestale ] ||
    fail "the new folder's own settings were not kept aside"
  check "Marlinet runs after the move" eventually 15 tray_windows 1
  pid=$(marlinet_in "$c")
  [ -n "$pid" ] || fail "no Marlinet runs from $c after the move"

  # The old Marlinet.exe held (a copy started as an administrator, a
  # scanner): the move is refused and nothing changes.
  wine "$c/Marlinet.exe" /quit >/dev/null 2>&1
  check "the copy in $c ended" wait_exit 10
  before=$(cd "$c" && ls | sort | tr '\n' ' ')
  hold_file "$c/Marlinet.exe"
  code=0
  wine "$E2E_SETUP" /S /NoStartNow "/D=$(winpath "$d")" >/dev/null 2>&1 || code=$?
  release_files
  [ $code -eq 4 ] || fail "the move from a held Marlinet.exe ended with $code, not 4"
  [ "$(cd "$c" && ls | sort | tr '\n' ' ')" = "$before" ] || fail "the refused move left in $c: $(ls "$c" | tr '\n' ' ')"
  [ "$(reg_value "$entry" InstallLocation)" = "$(winpath "$c")" ] ||
    fail "the refused move changed InstallLocation to $(reg_value "$entry" InstallLocation)"
  [ -e "$d" ] && fail "the refused move left $d"
  quiet_uninstall /RemoveSettings || fail "the silent uninstall from $c failed ($?)"
  [ -e "$c" ] && fail "the uninstall with /RemoveSettings left $(ls "$c" | tr '\n' ' ')"
  work=""
}
case_the_setup_installs_upgrades_and_uninstalls() {
  : "${E2E_SETUP:?}"
  [ -f "$E2E_SETUP" ] || fail "no setup program at $E2E_SETUP (is makensis installed?)"
  local run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
  local approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\Run'
  local entry='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Marlinet'
  local appdata programs inst winst version
  appdata=$(wine cmd /c 'echo %LOCALAPPDATA%' 2>/dev/null | tr -d '\r')
  inst=$(winepath -u "$appdata\\Programs\\Marlinet" 2>/dev/null | tr -d '\r')
  inst=${inst%/}
  programs=$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')" | tr -d '\r')
  programs="${programs%/}/Microsoft/Windows/Start Menu/Programs"
  winst=$(winpath "$inst")
  version=$(basename "$E2E_SETUP" | sed 's/^marlinet-//; s/-setup\.exe$//')
  # A run that failed before leaves nothing behind for this one.
  rm -rf "$inst" "$programs/Marlinet.lnk"
  wine reg delete "$entry" /f >/dev/null 2>&1
  wine reg delete "$run" /v Marlinet /f >/dev/null 2>&1

  installed=$run
  # Explorer's Properties show the setup's own version information.
  [ "$(strings -el "$E2E_SETUP" | grep -A1 -x ProductVersion | tail -1)" = "$version" ] ||
    fail "the setup carries no ProductVersion $version"
  wine "$E2E_SETUP" /S >/dev/null 2>&1 || fail "the silent install failed ($?)"
  local listed expected
  listed=$(cd "$inst" && ls | sort | tr '\n' ' ')
  expected=$(printf '%s\n' Marlinet.exe READ-ME.txt LICENSE.txt prefs.kvr proc.kvr uninstall.exe uninstall.bin \
    $(cd "$E2E_PROGRAM" && ls ./*.wav | sed 's|^\./||') | sort | tr '\n' ' ')
  [ "$listed" = "$expected" ] || fail "installed: $listed"
  cmp -s "$inst/Marlinet.exe" "$E2E_PROGRAM/Marlinet.exe" || fail "not the tested exe"
  [ -f "$programs/Marlinet.lnk" ] || fail "no Start menu shortcut"
  [ "$(reg_value "$run" Marlinet)" = "\"$winst\\Marlinet.exe\"" ] ||
    fail "Run value: $(reg_value "$run" Marlinet)"
  local field want
  while IFS='|' read -r field want; do
    [ "$(reg_value "$entry" "$field")" = "$want" ] ||
      fail "uninstall entry $field is '$(reg_value "$entry" "$field")', not '$want'"
  done <<EOF2
DisplayName|Marlinet
DisplayVersion|$version
Publisher|Orvanta Software
DisplayIcon|$winst\\Marlinet.exe,0
InstallLocation|$winst
UninstallString|"$winst\\uninstall.exe"
QuietUninstallString|"$winst\\uninstall.exe" /S
NoModify|0x1
NoRepair|0x1
InstallDate|$(date +%Y%m%d)
VersionMajor|0x$(printf %x "${version%%.*}")
VersionMinor|0x$(printf %x "$(echo "$version" | cut -d. -f2)")
EOF2
  # The size in KB Settings shows: about what the folder holds.
  local size=$(($(reg_value "$entry" EstimatedSize))) du_kb
  du_kb=$(du -sk "$inst" | cut -f1)
  [ $((size * 10)) -ge $((du_kb * 8)) ] && [ $((size * 10)) -le $((du_kb * 12)) ] ||
    fail "EstimatedSize $size KB for a folder of $du_kb KB"

  # The winget manifest beside the setup describes this setup and the entry
  # it made; winget adds /S and /D= itself, so the manifest gives no switches.
  : "${E2E_WINGET:?}"
  local sha kind key
  sha=$(sha256sum "$E2E_SETUP" | cut -d' ' -f1)
  while IFS='|' read -r kind key want; do
    local file="$E2E_WINGET/Marlinet.Marlinet.${kind}yaml"
    [ "$(yaml_value "$file" "$key")" = "$want" ] ||
      fail "manifest ${kind}yaml $key is '$(yaml_value "$file" "$key")', not '$want'"
  done <<EOF3
|PackageIdentifier|Marlinet.Marlinet
|PackageVersion|$version
|ManifestType|version
installer.|PackageVersion|$version
installer.|InstallerSha256|${sha^^}
installer.|InstallerType|nullsoft
installer.|Scope|user
installer.|Architecture|x86
installer.|UpgradeBehavior|install
installer.|ProductCode|${entry##*\\}
installer.|DisplayName|$(reg_value "$entry" DisplayName)
installer.|Publisher|$(reg_value "$entry" Publisher)
installer.|DisplayVersion|$(reg_value "$entry" DisplayVersion)
locale.en-US.|PackageVersion|$version
locale.en-US.|Publisher|$(reg_value "$entry" Publisher)
locale.en-US.|PackageName|$(reg_value "$entry" DisplayName)
locale.en-US.|License|MIT
EOF3
  local installer="$E2E_WINGET/Marlinet.Marlinet.installer.yaml"
  [[ "$(yaml_value "$installer" InstallerUrl)" == https://*/"$(basename "$E2E_SETUP")" ]] ||
    fail "InstallerUrl $(yaml_value "$installer" InstallerUrl)"
  # Every exit code of its own the setup gives, in the README's table, with
  # a running copy's refusal as packageInUse.
  [ "$(tr -d '\r' <"$installer" | awk '/InstallerReturnCode:/ { c = $NF } /ReturnResponse:/ { print c "=" $NF }' |
    tr '\n' ' ')" = "1=cancelledByUser 3=packageInUse 4=packageInUse 5=fileInUse 7=diskFull " ] ||
    fail "the manifest's return codes"
  [ -n "$(yaml_value "$E2E_WINGET/Marlinet.Marlinet.locale.en-US.yaml" ReleaseNotes)" ] || fail "no release notes"
  grep -v '^#' "$installer" | grep -q -e '/D=' -e 'InstallerSwitches' && fail "the manifest gives switches"

  # The installed copy runs, with the person's own places and options.
  work=$inst
  places_prefs
  cmp -s "$inst/prefs.kvr" "$E2E_PROGRAM/../package/Marlinet/prefs.kvr" && fail "test prefs equal the defaults"
  start_program
  wait_tray bell 15 || fail "the installed copy shows no icon"
  # With the launch list open, the upgrade is refused and nothing changes.
  open_editor
  local started=$SECONDS code=0
  wine "$E2E_SETUP" /S >/dev/null 2>&1 || code=$?
  [ $code -eq 3 ] || fail "a silent upgrade over an open launch list ended with $code, not 3"
  [ $((SECONDS - started)) -lt 20 ] || fail "the refused upgrade took $((SECONDS - started)) s"
  check "the old copy still runs" running
  check "the launch list is still open" drv visible TMarlinetForm "Start Program"
  drv close "Start Program"
  check "the launch list closes" eventually 5 not drv visible TMarlinetForm "Start Program"
  drv press Marlinet OK
  check "the options close" eventually 3 not drv visible TMarlinetForm Marlinet
  # The upgrade: the running copy ends as Quit ends it (saving its options
  # and form state), the person's prefs.kvr stays byte for byte, and Marlinet
  # runs again afterwards.
  rm -f "$inst/Marlinet.ini"
  touch -d '2001-01-01' "$inst/prefs.kvr"
  # The person had switched starting with Windows off: the upgrade keeps that.
  wine reg delete "$run" /v Marlinet /f >/dev/null 2>&1
  wine "$E2E_SETUP" /S >/dev/null 2>&1 || fail "the silent upgrade failed ($?)"
  check "the old copy ended" wait_exit 10
  [ "$(stat -c %Y "$inst/prefs.kvr")" -gt "$(date -d 2001-01-02 +%s)" ] || fail "the quit did not save"
  cmp -s "$inst/prefs.kvr" "$inst/prefs.before" || fail "prefs.kvr changed by the upgrade"
  [ -f "$inst/Marlinet.ini" ] || fail "the quit kept no form state"
  pid=$(marlinet_in "$inst")
  check "Marlinet runs again after the upgrade" wait_tray bell 15
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy after the upgrade"
  [ -z "$(reg_value "$run" Marlinet)" ] || fail "the upgrade switched starting with Windows on again"
  # The shell started it, as a double click does: not the setup, whose
  # caller may wait for every process the setup started.
  [ "$(drv parent Marlinet.exe)" = explorer.exe ] ||
    fail "Marlinet was started by $(drv parent Marlinet.exe), not the shell"

  # A file that cannot be written (held as a scanner holds it) after the
  # running copy has ended: the earlier files come back, byte for byte, the
  # copy runs again, and the exit code says so.
  printf 'earlier' >>"$inst/Marlinet.exe"
  printf 'earlier\r\n' >>"$inst/READ-ME.txt"
  cp "$inst/Marlinet.exe" "$inst/Marlinet.before"
  cp "$inst/READ-ME.txt" "$inst/READ-ME.before"
  hold_file "$inst/4Lbell.wav" read
  code=0
  wine "$E2E_SETUP" /S >/dev/null 2>&1 || code=$?
  release_files
  [ $code -eq 5 ] || fail "the upgrade with a file held ended with $code, not 5"
  cmp -s "$inst/Marlinet.exe" "$inst/Marlinet.before" || fail "Marlinet.exe was not put back"
  cmp -s "$inst/READ-ME.txt" "$inst/READ-ME.before" || fail "READ-ME.txt was not put back"
  check "the earlier copy runs again" wait_tray bell 15
  pid=$(marlinet_in "$inst")
  [ -n "$pid" ] || fail "no Marlinet runs from the install folder after the rollback"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy after the rollback"
  rm -f "$inst/Marlinet.before" "$inst/READ-ME.before"
  # Clicked through, the rollback's box says why the file could not be
  # written, the running copy ended and started again all the same.
  local title="Marlinet $version Setup" setup_pid
  hold_file "$inst/4Lbell.wav" read
  install_by_hand
  check "the rollback box says why" eventually 30 box_from_setup "another program may hold it"
  # The held file was never written: it is no file "not put back".
  box_from_setup "The files that were there are back as they were" ||
    fail "the rollback box says: $(drv box-text "$title" | tr '\r\n' '  ')"
  drv box-ok "$title"
  release_files
  setup_has Cancel press
  code=0
  wait "$setup_pid" || code=$?
  [ $code -eq 5 ] || fail "the rollback by hand ended with $code, not 5"
  check "the earlier copy runs again after the rollback by hand" wait_tray bell 15
  pid=$(marlinet_in "$inst")
  [ -n "$pid" ] || fail "no Marlinet runs from the install folder after the rollback by hand"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy after the rollback by hand"

  # Switched off in Task Manager's Startup apps: an upgrade leaves both of
  # its values as they are. /NoStartNow: the copy it ended stays ended.
  local disabled=03000000D40D438DC83BD901
  wine reg add "$run" /v Marlinet /d "\"$winst\\Marlinet.exe\"" /f >/dev/null 2>&1
  wine reg add "$approved" /v Marlinet /t REG_BINARY /d $disabled /f >/dev/null 2>&1
  wine "$E2E_SETUP" /S /NoStartNow >/dev/null 2>&1 || fail "the upgrade with /NoStartNow failed ($?)"
  check "the copy ended" wait_exit 10
  stays 3 tray_is none || fail "Marlinet was started again despite /NoStartNow"
  [ "$(reg_value "$run" Marlinet)" = "\"$winst\\Marlinet.exe\"" ] || fail "the upgrade removed the Run value"
  [ "$(reg_value "$approved" Marlinet)" = $disabled ] ||
    fail "Task Manager's Disabled became $(reg_value "$approved" Marlinet)"
  # Clicked through, the upgrade shows the box unticked and leaves both values
  # as they are; ticked again, it is on in both places (and "Start Marlinet
  # now", ticked, starts it).
  # A Startup shortcut to a copy elsewhere, kept with a "No", is not asked
  # about again.
  startup_link="$(winepath -u "$(wine cmd /c 'echo %APPDATA%' 2>/dev/null | tr -d '\r')" | tr -d '\r')"
  startup_link="${startup_link%/}/Microsoft/Windows/Start Menu/Programs/StartUp/Ship bells.lnk"
  mkdir -p "$(dirname "$startup_link")"
  make_link "$startup_link" 'C:\Users\Public\Documents\Marlinet\Marlinet.exe'
  upgrade_by_hand 0 asked
  [ "$(reg_value "$run" Marlinet)" = "\"$winst\\Marlinet.exe\"" ] || fail "the upgrade removed the Run value"
  [ "$(reg_value "$approved" Marlinet)" = $disabled ] ||
    fail "Task Manager's Disabled became $(reg_value "$approved" Marlinet) by hand"
  [ -f "$startup_link" ] || fail "the Startup shortcut went despite the No"
  upgrade_by_hand 1
  rm -f "$startup_link"
  [ "$(reg_value "$run" Marlinet)" = "\"$winst\\Marlinet.exe\"" ] || fail "the ticked box wrote no Run value"
  [ "$(reg_value "$approved" Marlinet)" = 020000000000000000000000 ] ||
    fail "the ticked box left Task Manager's value at $(reg_value "$approved" Marlinet)"
  check "Marlinet runs after the upgrade by hand" wait_tray bell 15
  pid=$(marlinet_in "$inst")
  [ -n "$pid" ] || fail "no Marlinet runs from the install folder"

  # The registered silent uninstall, run as a package manager runs it: while
  # the launch list is open it removes nothing and says so; while
  # Marlinet.exe is held it stops before the registry; then it removes the
  # program, and all is gone by the time it returns.
  wine reg add "$run" /v Marlinet /d "\"$winst\\Marlinet.exe\"" /f >/dev/null 2>&1
  wine reg add "$approved" /v Marlinet /t REG_BINARY /d 020000000000000000000000 /f >/dev/null 2>&1
  local before
  before=$(cd "$inst" && ls | sort | tr '\n' ' ')
  open_editor
  code=0
  quiet_uninstall || code=$?
  [ $code -eq 3 ] || fail "the silent uninstall over an open launch list ended with $code, not 3"
  check "the copy still runs" running
  [ "$(cd "$inst" && ls | sort | tr '\n' ' ')" = "$before" ] || fail "the refused uninstall removed files"
  wine reg query "$entry" >/dev/null 2>&1 || fail "the refused uninstall removed the uninstall entry"
  drv close "Start Program"
  check "the launch list closes" eventually 5 not drv visible TMarlinetForm "Start Program"
  drv press Marlinet OK
  check "the options close" eventually 3 not drv visible TMarlinetForm Marlinet
  hold_file "$inst/Marlinet.exe" read
  code=0
  quiet_uninstall || code=$?
  release_files
  [ $code -eq 6 ] || fail "the uninstall with Marlinet.exe held ended with $code, not 6"
  wait_exit 5
  [ -n "$(reg_value "$run" Marlinet)" ] || fail "the failed uninstall removed the Run value"
  wine reg query "$entry" >/dev/null 2>&1 || fail "the failed uninstall removed the uninstall entry"
  [ -f "$inst/uninstall.exe" ] || fail "the failed uninstall removed uninstall.exe"
  quiet_uninstall || fail "the silent uninstall failed ($?)"
  listed=$(cd "$inst" && ls | sort | tr '\n' ' ')
  [ "$listed" = "Marlinet.ini prefs.before prefs.kvr proc.kvr " ] || fail "left behind: $listed"
  cmp -s "$inst/prefs.kvr" "$inst/prefs.before" || fail "prefs.kvr not kept as it was"
  [ -f "$programs/Marlinet.lnk" ] && fail "the shortcut stayed"
  [ -z "$(reg_value "$run" Marlinet)" ] || fail "the Run value stayed"
  [ -z "$(reg_value "$approved" Marlinet)" ] || fail "the StartupApproved value stayed"
  wine reg query "$entry" >/dev/null 2>&1 && fail "the uninstall entry stayed"
  rm -rf "$inst"

  # A first install while the zip's copy runs from another folder: that
  # copy is asked to end, its settings come over, and one copy runs after.
  outer=$(mktemp -d "$(winepath -u 'C:\' 2>/dev/null | tr -d '\r')marlinet-e2e.XXXXXX")
  (cd "$outer" && cmake -E tar xf "$E2E_PACKAGE") || fail "cannot unpack the package"
  work="$outer/Marlinet"
  places_prefs
  start_program
  wait_tray bell 15 || fail "the zip's copy shows no icon"
  touch -d '2001-01-01' "$work/prefs.kvr"
  wine "$E2E_SETUP" /S /NoStartWithWindows >/dev/null 2>&1 || fail "the install over a running zip copy failed ($?)"
  [ -z "$(reg_value "$run" Marlinet)" ] || fail "/NoStartWithWindows still wrote the Run value"
  check "the zip's copy ended" wait_exit 10
  cmp -s "$inst/prefs.kvr" "$work/prefs.before" || fail "the zip copy's settings did not come over"
  [ -f "$inst/Marlinet.ini" ] || fail "the zip copy's form state did not come over"
  check "the installed copy runs" wait_tray bell 15
  pid=$(marlinet_in "$inst")
  [ -n "$pid" ] || fail "no Marlinet runs from the install folder"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy after moving from the zip"
  # With /RemoveSettings nothing is left, not even the folder.
  quiet_uninstall /RemoveSettings || fail "the silent uninstall failed ($?)"
  wait_exit 10
  [ -e "$inst" ] && fail "the uninstall with /RemoveSettings left $(ls "$inst" | tr '\n' ' ')"

  # The zip's Marlinet.exe dropped beside another tool's files does not make
  # their folder Marlinet's: the setup goes into a folder of its own there,
  # and its uninstall leaves the tool's files as they were.
  local dropped="$outer/Dropped" wdropped
  mkdir -p "$dropped"
  cp "$outer/Marlinet/Marlinet.exe" "$dropped/"
  for f in uninstall.exe READ-ME.txt LICENSE.txt; do printf 'tool' >"$dropped/$f"; done
  wdropped=$(winpath "$dropped")
  wine "$E2E_SETUP" /S /NoStartNow "/D=$wdropped" >/dev/null 2>&1 || fail "the install into $wdropped failed ($?)"
  [ "$(cat "$dropped"/{uninstall.exe,READ-ME.txt,LICENSE.txt})" = tooltooltool ] ||
    fail "the install into a folder holding Marlinet.exe overwrote another tool's files"
  [ -f "$dropped/Marlinet/Marlinet.exe" ] || fail "Marlinet is not in a folder of its own beside the dropped Marlinet.exe"
  quiet_uninstall /RemoveSettings || fail "the silent uninstall from $wdropped failed ($?)"
  [ "$(cd "$dropped" && ls | sort | tr '\n' ' ')$(cat "$dropped"/{uninstall.exe,READ-ME.txt,LICENSE.txt})" = \
    "LICENSE.txt Marlinet.exe READ-ME.txt uninstall.exe tooltooltool" ] ||
    fail "the uninstall from $wdropped left $(cd "$dropped" && ls | tr '\n' ' ')"

  # Another program's folder given with /D=: Marlinet goes into a folder of
  # its own there, and a later plain upgrade finds it again.
  local tools="$outer/Tools" wtools
  mkdir -p "$tools"
  printf 'other' >"$tools/uninstall.exe"
  printf 'other' >"$tools/READ-ME.txt"
  wtools=$(winpath "$tools")
  wine "$E2E_SETUP" /S "/D=$wtools" >/dev/null 2>&1 || fail "the install into $wtools failed ($?)"
  [ "$(cat "$tools/uninstall.exe")$(cat "$tools/READ-ME.txt")" = otherother ] ||
    fail "the other program's files were overwritten"
  [ -f "$tools/Marlinet/Marlinet.exe" ] || fail "Marlinet is not in a folder of its own"
  [ "$(reg_value "$entry" InstallLocation)" = "$wtools\\Marlinet" ] ||
    fail "InstallLocation is $(reg_value "$entry" InstallLocation)"
  work="$tools/Marlinet"
  start_program
  wait_tray bell 15 || fail "the copy in $wtools\\Marlinet shows no icon"
  wine "$E2E_SETUP" /S >/dev/null 2>&1 || fail "the upgrade in $wtools failed ($?)"
  check "the copy there ended" wait_exit 10
  [ -e "$inst" ] && fail "the upgrade installed a second copy in the default folder"
  check "Marlinet runs again" wait_tray bell 15
  pid=$(marlinet_in "$tools/Marlinet")
  [ -n "$pid" ] || fail "no Marlinet runs from $wtools\\Marlinet after the upgrade"
  [ "$(reg_value "$run" Marlinet)" = "\"$wtools\\Marlinet\\Marlinet.exe\"" ] ||
    fail "Run value: $(reg_value "$run" Marlinet)"
  # The same folder by its short (8.3) name is no other folder to move from:
  # the upgrade keeps every program file, and the entry its long name.
  local wshort
  # (No quotes: Wine's cmd puts them inside the short name.)
  wshort=$(wine cmd /c "for %I in ($wtools\\Marlinet) do @echo %~sI" 2>/dev/null | tr -d '\r')
  [ "$wshort" != "$wtools\\Marlinet" ] && [ "$(winepath -u "$wshort" 2>/dev/null | tr -d '\r')" -ef "$tools/Marlinet" ] ||
    fail "no short name for $wtools\\Marlinet: '$wshort'"
  wine "$E2E_SETUP" /S "/D=$wshort" >/dev/null 2>&1 || fail "the upgrade by the short name $wshort failed ($?)"
  check "the copy there ended" wait_exit 10
  for f in $expected; do
    [ -f "$tools/Marlinet/$f" ] || fail "the upgrade by the short name $wshort left no $f"
  done
  [ "$(reg_value "$entry" InstallLocation)" = "$wtools\\Marlinet" ] ||
    fail "InstallLocation after the upgrade by the short name is $(reg_value "$entry" InstallLocation)"
  check "Marlinet runs again after the upgrade by the short name" wait_tray bell 15
  pid=$(marlinet_in "$tools/Marlinet")
  [ -n "$pid" ] || fail "no Marlinet runs from $wtools\\Marlinet after the upgrade by the short name"
  # Settings removed by name: the person's own .bak file stays.
  printf 'mine' >"$tools/Marlinet/notes.bak"
  : >"$tools/Marlinet/prefs.kvr.bak"
  : >"$tools/Marlinet/mrl1A2B.tmp"
  quiet_uninstall /RemoveSettings || fail "the silent uninstall failed ($?)"
  wait_exit 10
  [ "$(cd "$tools" && ls | sort | tr '\n' ' ')" = "Marlinet READ-ME.txt uninstall.exe " ] ||
    fail "the uninstall left $(cd "$tools" && ls | tr '\n' ' ')"
  [ "$(ls "$tools/Marlinet")" = notes.bak ] || fail "the uninstall left $(ls "$tools/Marlinet" | tr '\n' ' ')"
  [ "$(cat "$tools/uninstall.exe")$(cat "$tools/READ-ME.txt")" = otherother ] ||
    fail "the uninstall touched the other program's files"

  # Another program's prefs.kvr beside its other files does not make its
  # folder Marlinet's. On Windows 7 (reported so for this run) a silent
  # setup leaves a Startup shortcut to another copy as it is: it has no switch.
  local other="$outer/Other" wother f appdefaults
  appdefaults="HKCU\\Software\\Wine\\AppDefaults\\$(basename "$E2E_SETUP")"
  local folder_approved='HKCU\Software\Microsoft\Windows\CurrentVersion\Explorer\StartupApproved\StartupFolder'
  startup_switch() {
    wine reg query "$folder_approved" /v "Ship bells.lnk" 2>/dev/null | tr -d '\r' | awk '/REG_BINARY/ { print $NF }'
  }
  mkdir -p "$other"
  for f in prefs.kvr READ-ME.txt LICENSE.txt uninstall.exe; do printf 'other' >"$other/$f"; done
  wother=$(winpath "$other")
  wine reg delete "$folder_approved" /f >/dev/null 2>&1
  make_link "$startup_link" 'C:\Users\Public\Documents\Marlinet\Marlinet.exe'
  wine reg add "$appdefaults" /v Version /d win7 /f >/dev/null 2>&1
  wine "$E2E_SETUP" /S "/D=$wother" >/dev/null 2>&1 || fail "the install into $wother failed ($?)"
  wine reg delete "$appdefaults" /f >/dev/null 2>&1
  [ "$(cat "$other"/{prefs.kvr,READ-ME.txt,LICENSE.txt,uninstall.exe})" = otherotherotherother ] ||
    fail "another program's files beside its prefs.kvr were overwritten"
  [ -f "$other/Marlinet/Marlinet.exe" ] || fail "Marlinet is not in a folder of its own beside another prefs.kvr"
  [ -z "$(startup_switch)" ] || fail "the Startup shortcut was switched to $(startup_switch) on Windows 7"

  # /D= to a new folder (winget's --location) while installed and running
  # elsewhere: the install moves. The copy there ends, its settings come
  # along, its program files and uninstaller go and the person's files
  # stay. A folder holding only what Marlinet keeps is Marlinet's already.
  # Reported as Windows 10, the silent setup switches the Startup shortcut
  # to another copy off as Task Manager does. What earlier uninstalls left
  # in %TEMP% goes, by its exact name alone.
  local kept="$outer/Kept" wkept temp
  mkdir -p "$kept"
  work=$kept
  places_prefs
  mv "$kept/prefs.before" "$outer/kept.before"
  printf '[Form1]\r\n' >"$kept/Marlinet.ini"
  : >"$kept/prefs.kvr.bak"
  : >"$kept/mrl1A2B.tmp"
  wkept=$(winpath "$kept")
  temp=$(winepath -u "$(wine cmd /c 'echo %TEMP%' 2>/dev/null | tr -d '\r')" 2>/dev/null | tr -d '\r')
  temp=${temp%/}
  for f in 4242.exe notes.exe 4243.txt; do : >"$temp/Marlinet-uninstalled-$f"; done
  work="$other/Marlinet"
  start_program
  wait_tray bell 15 || fail "the copy in $wother\\Marlinet shows no icon"
  mkdir -p "$outer/old"
  cp "$work/uninstall.exe" "$work/uninstall.bin" "$outer/old/"
  wine reg add "$appdefaults" /v Version /d win10 /f >/dev/null 2>&1
  wine "$E2E_SETUP" /S "/D=$wkept" >/dev/null 2>&1 || fail "the move to $wkept failed ($?)"
  wine reg delete "$appdefaults" /f >/dev/null 2>&1
  check "the copy in $wother\\Marlinet ended" wait_exit 10
  [ "$(reg_value "$entry" InstallLocation)" = "$wkept" ] ||
    fail "InstallLocation after the move is $(reg_value "$entry" InstallLocation)"
  [ "$(reg_value "$run" Marlinet)" = "\"$wkept\\Marlinet.exe\"" ] || fail "Run value: $(reg_value "$run" Marlinet)"
  [ "$(ls "$other/Marlinet" | tr '\n' ' ')" = "Marlinet.ini prefs.kvr proc.kvr " ] ||
    fail "the move left $(ls "$other/Marlinet" | tr '\n' ' ')in the old folder"
  [ -f "$kept/Marlinet.exe" ] || fail "a folder of Marlinet's own files got a folder of its own"
  cmp -s "$kept/prefs.kvr.before-move" "$outer/kept.before" || fail "the move did not keep the new folder's prefs.kvr aside"
  [ -f "$kept/proc.kvr" ] || fail "the moved install's launch list did not come along"
  check "Marlinet runs after the move" wait_tray bell 15
  pid=$(marlinet_in "$kept")
  [ -n "$pid" ] || fail "no Marlinet runs from $wkept after the move"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy after the move"
  [[ "$(startup_switch)" == 03000000???????????????? ]] ||
    fail "the silent setup left the Startup shortcut to another copy switched to '$(startup_switch)'"
  [ -f "$startup_link" ] || fail "the silent setup removed the Startup shortcut"
  [ "$(ls "$temp" | grep '^Marlinet-uninstalled-' | tr '\n' ' ')" = \
    "Marlinet-uninstalled-4243.txt Marlinet-uninstalled-notes.exe " ] ||
    fail "the setup left in %TEMP%: $(ls "$temp" | grep '^Marlinet-uninstalled-' | tr '\n' ' ')"
  # An uninstaller left in the old folder leaves alone the entry, the start
  # with Windows, the Start menu and the Startup switch of the new one.
  cp "$outer/old/uninstall.exe" "$outer/old/uninstall.bin" "$other/Marlinet/"
  wine "$other/Marlinet/uninstall.exe" /S >/dev/null 2>&1 || fail "the old folder's uninstaller failed ($?)"
  [ "$(reg_value "$entry" InstallLocation)" = "$wkept" ] || fail "the old folder's uninstaller removed the entry"
  [ -n "$(reg_value "$run" Marlinet)" ] || fail "the old folder's uninstaller removed the Run value"
  [ -f "$programs/Marlinet.lnk" ] || fail "the old folder's uninstaller removed the Start menu shortcut"
  [[ "$(startup_switch)" == 03* ]] || fail "the old folder's uninstaller switched the Startup shortcut on"
  check "Marlinet still runs from $wkept" running
  # The last uninstall switches the Startup shortcut on again, and leaves in
  # %TEMP% only its own uninstall.exe, which cannot delete itself.
  quiet_uninstall /RemoveSettings || fail "the silent uninstall failed ($?)"
  wait_exit 10
  [ -e "$kept" ] && fail "the uninstall with /RemoveSettings left $(ls "$kept" | tr '\n' ' ')"
  [ "$(startup_switch)" = 020000000000000000000000 ] ||
    fail "the uninstall left the Startup shortcut switched to '$(startup_switch)'"
  [ "$(ls "$temp" | grep -c '^Marlinet-uninstalled-[0-9]*\.exe$')" = 1 ] ||
    fail "after the last uninstall %TEMP% holds $(ls "$temp" | grep '^Marlinet-uninstalled-' | tr '\n' ' ')"
  rm -f "$temp"/Marlinet-uninstalled-*
  wine reg delete "$folder_approved" /f >/dev/null 2>&1

  setup_moves_keep_everything

  # A disk that fills up part-way: what was written goes again, and the
  # exit code tells a full disk from a file in use.
  mounted="$outer/Full"
  mkdir -p "$mounted"
  mount -t tmpfs -o size=1m tmpfs "$mounted" || fail "cannot mount a small file system"
  code=0
  wine "$E2E_SETUP" /S "/D=$(winpath "$mounted")" >/dev/null 2>&1 || code=$?
  [ $code -eq 7 ] || fail "the install onto a full disk ended with $code, not 7"
  [ -z "$(ls -A "$mounted")" ] || fail "the install onto a full disk left $(ls -A "$mounted" | tr '\n' ' ')"
  wine reg query "$entry" >/dev/null 2>&1 && fail "the install onto a full disk wrote the uninstall entry"
  # An upgrade whose temporary folder is on that full disk cannot set the
  # earlier files aside: it changes nothing, and says the disk is full.
  local wup
  wup="$(winpath "$outer")\\Up"
  wine "$E2E_SETUP" /S /NoStartNow "/D=$wup" >/dev/null 2>&1 || fail "the install into $wup failed ($?)"
  before=$(cd "$outer/Up" && ls | sort | tr '\n' ' ')
  code=0
  wine cmd /c "set TMP=$(winpath "$mounted")&& set TEMP=$(winpath "$mounted")&& $(winpath "$E2E_SETUP") /S /NoStartNow" \
    >/dev/null 2>&1 || code=$?
  [ $code -eq 7 ] || fail "the upgrade with a full temporary folder ended with $code, not 7"
  [ "$(cd "$outer/Up" && ls | sort | tr '\n' ' ')" = "$before" ] || fail "the failed upgrade changed the files"
  cmp -s "$outer/Up/Marlinet.exe" "$E2E_PROGRAM/Marlinet.exe" || fail "the failed upgrade changed Marlinet.exe"
  quiet_uninstall || fail "the silent uninstall failed ($?)"
  work=""
}
