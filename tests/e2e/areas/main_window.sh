# The main window ("Parameters"): its layout, its OK, the exe's manifest and
# the whole program at another display scale.

case_main_window_screenshot() {
  start_first_run
  show_options
  sleep 0.5
  local x y w h
  window_shot Marlinet main-window.png
  read -r x y w h < <(drv rect TMarlinetForm Marlinet)
  # Centred on the 1024 x 768 desktop.
  [ $(((1024 - w) / 2 - x)) -ge -1 ] && [ $(((1024 - w) / 2 - x)) -le 1 ] || fail "not centred: $x"
  local client_w client_h border
  border=$(((w - 536) / 2))
  client_h=$((h - border - 410))
  # The window's background, and the tan of the inner panel (Panel2 at 5,40 in
  # Panel1 at 343,21 in GroupBox3 at 6,252).
  [ "$(pixel $((x + border + 520)) $((y + client_h + 400)))" = "#E0D0A8" ] || fail "window background"
  [ "$(pixel $((x + border + 6 + 343 + 5 + 10)) $((y + client_h + 252 + 21 + 40 + 5)))" = "#C0B090" ] ||
    fail "panel colour"
  # "Parameters" again, from the tray, brings the shown window to the front.
  check "Parameters leaves the window in front" eventually 3 in_front
  sleep 1
  choose 3
  check "Parameters again leaves the window in front" eventually 3 in_front
  drv close Marlinet
  wait_exit 10 || fail "close failed"
}

# The main window as another program reads it: every control's class, place
# in its parent, state, colours and text, against the window's layout.
# Columns: class | left,top,width,height ("?" where the text decides) |
# enabled | visible | background | text colour ("" unchecked) | text ("*" at
# the end: starts with).
main_window_layout() {
  local W=00A8D0E0 TAN=0090B0C0 NAVY=00800000 BLUE=00FF0000
  cat <<TABLE
Button|6,2,523,248|1|1|$W|$BLUE| Instructions 
Static|8,16,497,78|1|1|$W|$NAVY|  When you begin to hear the bell rings, start counting*
Static|48,104,427,42|1|1|$W|$NAVY|Time (am/pm): 12:30   1   1:30   2    2:30    3    3:30    4\n               4:30*
TMarlinetImage|30,148,15,16|1|1|||
Static|49,149,?,?|1|1|$W|$NAVY|USN Bells:
Static|146,149,?,?|1|1|$W|$NAVY|  1     2   2+1    4    4+1     6    6+1     8
Button|31,178,114,17|1|1|$W|$NAVY|Use dog watch:
Static|154,179,?,?|1|1|$W|$NAVY|1630  1700  1730  1800  1830  1900  1930  2000
TMarlinetImage|30,195,15,16|1|1|||
Static|48,196,?,?|1|1|$W|$NAVY|RN Bells:
Static|154,196,?,?|1|1|$W|$NAVY|  1     2    2+1    4     1     2    2+1    8
Button|31,224,71,17|1|1|$W|$NAVY|Small Bells
Button|107,224,73,17|1|1|$W|$NAVY|Large Bells
Button|6,252,523,130|1|1|$W|$BLUE| Hours of Operation 
Button|7,16,160,106|1|1|$W|$BLUE| AM 
Button|175,16,160,106|1|1|$W|$BLUE| PM 
TMarlinetPanel|343,21,173,101|1|1|$W||
Button|10,7,158,17|1|1|$W|$NAVY|Ring 1 min before hour and
Static|28,23,?,?|1|1|$W|$NAVY|half hour.
TMarlinetPanel|5,40,163,56|1|1|$TAN||
Static|53,12,?,?|1|1|$TAN|$NAVY|Marlinet
*|29,28,?,?|1|1|$TAN|$BLUE|Orvanta Software
TMarlinetSpeedButton|6,385,76,24|1|1|$W|$NAVY|Processes
Button|86,389,55,17|1|1|$W|$NAVY|On/Off
TMarlinetSpeedButton|230,385,76,24|1|1|$W|$NAVY|OK
TMarlinetImage|0,0,32,32|1|0|||
TMarlinetImage|0,0,32,32|1|0|||
TABLE
  # The hour boxes, three to a row in each group.
  local h cols=(10 60 110) rows=(14 38 62 85)
  for h in $(seq 0 23); do
    printf 'Button|%d,%d,45,17|1|1|%s|%s|%02d00\n' "${cols[$((h % 12 % 3))]}" \
      "${rows[$((h % 12 / 3))]}" $W $NAVY "$h"
  done
}

case_main_window_controls_match_the_layout() {
  new_folder
  write_prefs "${all_hours}0001"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  local dump
  dump=$(drv dump TMarlinetForm Marlinet) || fail "no main window to read"
  # Each row of the table is one control of the dump, and nothing is left over.
  DUMP=$dump awk -F'|' '
    BEGIN { n = split(ENVIRON["DUMP"], lines, "\n"); for (i = 1; i <= n; i++) used[i] = 0 }
    function fits(want, got,    w, g, k) {
      split(want, w, ","); split(got, g, ",")
      for (k = 1; k <= 4; k++) if (w[k] != "?" && w[k] != g[k]) return 0
      return 1
    }
    function same(want, got) {
      if (want ~ /\*$/) return index(got, substr(want, 1, length(want) - 1)) == 1
      return want == got
    }
    {
      found = 0
      for (i = 1; i <= n && !found; i++) {
        if (used[i]) continue
        split(lines[i], d, "|")
        text = substr(lines[i], length(d[1] d[2] d[3] d[4] d[5] d[6]) + 7)
        if (($1 == "*" || $1 == d[1]) && fits($2, d[2]) && same($7, text) &&
            $3 == d[3] && $4 == d[4] && ($5 == "" || $5 == d[5]) && ($6 == "" || $6 == d[6])) {
          used[i] = found = 1
        }
      }
      if (!found) { print "no control like: " $0; bad = 1 }
    }
    END {
      for (i = 1; i <= n; i++) if (!used[i]) { print "not in the layout: " lines[i]; bad = 1 }
      exit bad
    }' < <(main_window_layout) >&2 || fail "the main window differs from its layout"
}

# What Windows reads from the exe before the program runs: parsed as XML with
# its namespaces, since an element in the wrong namespace is silently ignored
# and a malformed manifest stops the program from starting at all.
case_the_exe_carries_its_manifest() {
  local manifest
  manifest=$(drv manifest "$(winpath "$E2E_PROGRAM/Marlinet.exe")") || fail "no manifest in the exe"
  python3 -c '
import sys, xml.etree.ElementTree as ET
root = ET.fromstring(sys.stdin.buffer.read())
v1, v3 = "{urn:schemas-microsoft-com:asm.v1}", "{urn:schemas-microsoft-com:asm.v3}"
compat = "{urn:schemas-microsoft-com:compatibility.v1}"
def text(path):
    found = root.find(path)
    return None if found is None else (found.text or "").strip()
level = root.find(f"{v3}trustInfo/{v3}security/{v3}requestedPrivileges/{v3}requestedExecutionLevel")
settings = f"{v3}application/{v3}windowsSettings/"
checks = {
    "asInvoker": level is not None and level.get("level") == "asInvoker",
    "Vista to 10/11": {e.get("Id") for e in root.iter(f"{compat}supportedOS")} == {
        "{e2011457-1546-43c5-a5fe-008deee3d3f0}", "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",
        "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}", "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",
        "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"},
    "dpiAware": text(settings + "{http://schemas.microsoft.com/SMI/2005/WindowsSettings}dpiAware") == "true/pm",
    "dpiAwareness": text(settings + "{http://schemas.microsoft.com/SMI/2016/WindowsSettings}dpiAwareness")
        == "PerMonitorV2, PerMonitor",
    "classic controls": root.find(f"{v1}dependency") is None,
}
bad = [name for name, ok in checks.items() if not ok]
sys.exit("manifest wrong: " + ", ".join(bad) if bad else 0)
' <<<"$manifest" || fail "the manifest does not say what Windows must read"
}

# The whole desktop at another display scale: Wine reads LogPixels when its
# server starts, so the server and its services start again (their output
# away from the test's, which ctest waits on).
set_dpi() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k
  wineserver -w
  wineserver -p >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
}

# At 150 % every window is its layout one and a half times over, the tray
# shows the bell drawn for 24 pixels, and each window is kept as a picture.
case_windows_scale_at_144_dpi() {
  dpi_changed=1
  set_dpi 144
  new_folder
  write_prefs "${all_hours}0001"
  start_program
  check "the options window is made" eventually 15 drv exists TMarlinetForm
  # window | client area | class | a control's place in its parent (96 DPI: the
  # group box 6,2,523,248, OK 230,385,76,24; time panel 2,44,98,22, help panel
  # 57,114,300,133; list 8,25,393,265, OK 127,296,76,24)
  local title size name class1 rect1 class2 rect2 shown dump
  while IFS='|' read -r title size name class1 rect1 class2 rect2; do
    shown=$(drv client TMarlinetForm "$title" | cut -d' ' -f3-)
    [ "$shown" = "$size" ] || fail "$title: client area $shown, not $size"
    dump=$(drv dump TMarlinetForm "$title")
    grep -q "^$class1|$rect1|" <<<"$dump" || fail "$title: no $class1 at $rect1"
    grep -q "^$class2|$rect2|" <<<"$dump" || fail "$title: no $class2 at $rect2"
    drv show TMarlinetForm "$title"
    check "$title shows" drv wait TMarlinetForm "$title" 5000
    sleep 0.5
    window_shot "$title" "$name-144.png"
  done <<'TABLE'
Marlinet|804 615|main-window|Button|9,3,785,372|TMarlinetSpeedButton|345,578,114,36
Clocks|621 522|clocks-window|TMarlinetPanel|3,66,147,33|TMarlinetPanel|86,171,450,200
Start Program|615 485|editor-window|Edit|12,38,590,398|TMarlinetSpeedButton|191,444,114,36
TABLE

  # The bell in the tray, found by the top of its handle (row 1, columns 11
  # and 12 of the 24-pixel drawing), against that drawing on the tray's
  # colour: its top 16 rows, which the desktop shows whole (its lower edge
  # cuts the rest), and where a stretched smaller picture would differ.
  local top=""
  find_handle() {
    top=$(import -window root -crop 80x60+944+708 +repage -depth 8 txt:- 2>/dev/null |
      awk -F'[,: ]+' '/#402800/ { print $1 + 944, $2 + 708; exit }')
    [ -n "$top" ]
  }
  eventually 5 find_handle || { shot "$E2E_ARTEFACTS/tray-144.png"; fail "no bell in the tray"; }
  read -r x y <<<"$top"
  x=$((x - 11))
  y=$((y - 1))
  h=16
  local background expected
  background=$(pixel $x $y)
  expected=$E2E_ARTEFACTS/tray-bell-expected.png
  convert "$E2E_PICTURES/bell.ico[2]" -background "$background" -flatten -crop "24x$h+0+0" +repage "$expected"
  local differ
  import -window root -crop "24x$h+$x+$y" +repage "$E2E_ARTEFACTS/tray-bell-144.png" 2>/dev/null
  differ=$(compare -metric AE "$E2E_ARTEFACTS/tray-bell-144.png" "$expected" null: 2>&1)
  [ "$differ" = 0 ] || fail "the tray's bell is not the 24-pixel drawing ($differ pixels differ)"
}

case_parameters_ok_writes_applies_and_hides() {
  new_folder
  write_prefs "${all_hours}0001"
  cp "$work/prefs.kvr" "$work/prefs.before"
  start_time=14:29:32
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  show_options
  drv press Marlinet 0000
  drv press Marlinet "Large Bells"
  drv press Marlinet "Use dog watch:"
  [ "$(drv checked Marlinet 0000)" = 0 ] || fail "0000 still checked"
  [ "$(drv checked Marlinet 'Large Bells')" = 1 ] || fail "Large Bells not selected"
  cmp -s "$work/prefs.kvr" "$work/prefs.before" || fail "prefs.kvr written before OK"
  [ $(($(date +%s) - started)) -lt 26 ] || fail "too slow: OK would come after 14:30"
  drv press Marlinet OK
  check "OK hides the window" eventually 3 not drv visible TMarlinetForm Marlinet
  local flags
  flags=$(head -1 "$work/prefs.kvr" | tr -d '\r')
  [ "${flags:0:1}" = 0 ] || fail "position 1 not cleared: $flags"
  [ "${flags:25:1}" = 1 ] || fail "position 26 not set: $flags"
  [ "${flags:26:1}" = 1 ] || fail "position 27 not set: $flags"
  stays 1 no_window || fail "something is still showing"
  # Choosing "Large Bells" plays its sample; OK puts the large set in force.
  at_program_time 14:30:06
  heard "0+1Lbell.wav" "2+1Lbell.wav" || fail "14:30 after OK did not strike from the large set"
}
