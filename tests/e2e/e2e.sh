#!/usr/bin/env bash
# End-to-end cases: the real Marlinet.exe in a fresh program folder on the
# Wine virtual desktop, driven with real pointer clicks on its tray icon and
# by a small driver program that finds its windows.
#
#   e2e.sh <case>      (run by ctest with DISPLAY, WINEPREFIX and E2E_* set)
set -uo pipefail

: "${E2E_PROGRAM:?}" "${E2E_DRIVER:?}" "${E2E_ARTEFACTS:?}"
export WINEDEBUG=-all
# Sound goes through ALSA, where the cases capture it, unless a case names
# its own sound server (see scripts/wine-session.sh).
export PULSE_SERVER=${PULSE_SERVER:-unix:/nonexistent/marlinet-tests}

# The virtual desktop is 1024 x 768 at the top-left of the screen; the first
# notification icon sits 11 pixels left of its right edge, 10 above its bottom.
TRAY_X=1013
TRAY_Y=758

fail() {
  echo "FAIL: $*" >&2
  exit 1
}
check() {  # check <description> <command...>
  local what=$1
  shift
  "$@" || fail "$what"
}
drv() { wine "$E2E_DRIVER" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/latency.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../scripts/shell-link.sh"

work=""
pid=""
start_program() {
  "$@" wine "$work/Marlinet.exe" >/dev/null 2>"${program_log:-/dev/null}" &
  pid=$!
}
new_folder() {  # the program, its sounds and an empty launch list
  work=$(mktemp -d /tmp/marlinet-e2e.XXXXXX)
  cp -r "$E2E_PROGRAM"/. "$work"/
  : >"$work/proc.kvr"
}
cleanup() {
  release_files
  stop_sound_clock
  [ -n "${mounted:-}" ] && { umount "$mounted" 2>/dev/null || umount -l "$mounted"; rmdir "$mounted"; }
  pkill -f 'waiter\.exe' 2>/dev/null
  local p
  for p in "${others[@]}"; do kill "$p" 2>/dev/null; done
  if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
    # Politely first: a killed program's icon stays in the shell's area and
    # would take the next case's clicks.
    drv quit-all
    wait_exit 5 || { kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; }
  fi
  eventually 5 tray_is none || echo "note: a tray icon is left behind" >&2
  [ -n "$work" ] && chmod -R u+w "$work" 2>/dev/null && rm -rf "$work"
  [ -n "${dpi_changed:-}" ] && set_dpi 96
  [ -n "${outer:-}" ] && rm -rf "$outer"
  [ -n "$other_program" ] && kill "$other_program" 2>/dev/null
  # Wine's boot runs the Run key: a start with Windows left behind would
  # put a copy in every later case's tray.
  [ -n "${installed:-}" ] && wine reg delete "$installed" /v Marlinet /f >/dev/null 2>&1
  [ -n "${startup_link:-}" ] && rm -f "$startup_link"
}
trap cleanup EXIT

wait_exit() {  # the program ends within $1 seconds
  local t=$((${1:-10} * 10))
  while kill -0 "$pid" 2>/dev/null; do
    t=$((t - 1))
    [ $t -le 0 ] && return 1
    sleep 0.1
  done
  wait "$pid" 2>/dev/null
  pid=""
}

winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }

shot() { import -window root "$1" 2>/dev/null; }

# How many pixels of one kind a screen region holds: red (the prohibition
# sign), gold (the bell) or black (a check mark).
pixel() {  # pixel X Y: the colour on the screen there, as #RRGGBB
  import -window root -crop 1x1+$1+$2 +repage -depth 8 txt:- 2>/dev/null | awk 'NR == 2 { print $3 }'
}
window_shot() {  # window_shot <title> <file>: that window's picture into the artefacts
  local x y w h
  read -r x y w h < <(drv rect TMarlinetForm "$1")
  mkdir -p "$E2E_ARTEFACTS"
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$E2E_ARTEFACTS/$2"
}
count_pixels() {  # count_pixels <crop geometry> red|gold|black
  import -window root -crop "$1" +repage -depth 8 txt:- 2>/dev/null |
    awk -F'[()]' -v kind="$2" 'NR > 1 {
      split($2, c, ","); r = c[1] + 0; g = c[2] + 0; b = c[3] + 0
      if (kind == "red" && r > 200 && g < 60 && b < 60) n++
      if (kind == "gold" && r > 150 && g > 100 && b < 100) n++
      if (kind == "black" && r < 40 && g < 40 && b < 40) n++
    } END { print n + 0 }'
}

# What the tray icon shows: "bell", "muted" or "none".
tray_state() {
  local icon=18x18+$((TRAY_X - 9))+$((TRAY_Y - 9))
  if [ "$(count_pixels "$icon" red)" -gt 8 ]; then
    echo muted
  elif [ "$(count_pixels "$icon" gold)" -gt 8 ]; then
    echo bell
  else
    echo none
  fi
}
wait_tray() {  # wait_tray <state> [seconds]
  local t=$((${2:-10} * 10)) now
  while :; do
    now=$(tray_state)
    [ "$now" = "$1" ] && return 0
    t=$((t - 1))
    [ $t -le 0 ] && { echo "tray shows $now, expected $1" >&2; return 1; }
    sleep 0.1
  done
}

tray_click() { xdotool mousemove $TRAY_X $TRAY_Y click "$@"; }

# The popup menu opens at the pointer and is found on the screen: its left
# edge on a row above the taskbar, its top edge in a column inside it.
menu_left=""
menu_top=""
first_changed() {  # first_changed <crop geometry> <axis field>: first pixel unlike the first
  import -window root -crop "$1" +repage txt:- 2>/dev/null |
    awk -F'[,: ]+' -v axis="$2" 'NR == 2 { bg = $NF } NR > 1 && $NF != bg { print $axis; exit }'
}
open_menu() {
  tray_click 3
  local t=30
  menu_left=""
  while [ $t -gt 0 ] && [ -z "$menu_left" ]; do
    sleep 0.1
    menu_left=$(first_changed 324x1+700+700 1)
    t=$((t - 1))
  done
  [ -n "$menu_left" ] || fail "the popup menu did not open"
  menu_left=$((menu_left + 700))
  menu_top=$(first_changed 1x140+$((menu_left + 30))+560 2)
  [ -n "$menu_top" ] || fail "the popup menu's top not found"
  menu_top=$((menu_top + 560))
}
# Closes the open menu the way a person does, by clicking beside it.
close_menu() {
  xdotool mousemove 400 300 click 1
  local t=30
  while [ -n "$(first_changed 324x1+700+700 1)" ] && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
  sleep 0.3
}
# Items, 18 pixels apart: 1 Quit, 2 Test Bells, 3 Parameters, 4 Mute Bells, 5 Clocks.
item_y() { echo $((menu_top + 3 + 18 * ($1 - 1) + 9)); }
choose() {
  open_menu
  xdotool mousemove $((menu_left + 40)) "$(item_y "$1")"
  sleep 0.2
  xdotool click 1
  sleep 0.3
}
# Whether the open menu shows a check mark beside "Mute Bells": dark pixels
# in the check column left of the item pictures.
mute_item_checked() {
  [ "$(count_pixels 12x14+$((menu_left + 2))+$(($(item_y 4) - 7)) black)" -gt 4 ]
}
# Whether the "Mute Bells" picture is the bell behind the red sign.
mute_item_picture_muted() {
  [ "$(count_pixels 18x16+$((menu_left + 14))+$(($(item_y 4) - 8)) red)" -gt 8 ]
}
# Files held open without sharing, as another program may hold them: the
# program can neither read, replace nor rename them, whoever runs it.
holders=()
hold_file() {  # hold_file <path> [read]: returns once the file is held
  local said
  said=$(mktemp)
  wine "$E2E_DRIVER" hold "$(winpath "$1")" 300 ${2:+"$2"} >"$said" 2>/dev/null &
  holders+=($!)
  local t=100
  until grep -q held "$said"; do
    t=$((t - 1))
    [ $t -le 0 ] && { rm -f "$said"; fail "could not hold $1"; }
    sleep 0.1
  done
  rm -f "$said"
}
release_files() {
  local p
  for p in "${holders[@]}"; do kill "$p" 2>/dev/null && wait "$p" 2>/dev/null; done
  holders=()
}
others=()  # further copies of the program

# Holds at every look for that long: a "nothing happens" check.
stays() {  # stays <seconds> <command...>
  local t=$(($1 * 5))
  shift
  while [ $t -gt 0 ]; do
    "$@" || return 1
    sleep 0.2
    t=$((t - 1))
  done
}
# Holds within that many seconds.
eventually() {  # eventually <seconds> <command...>
  local t=$(($1 * 10))
  shift
  until "$@"; do
    t=$((t - 1))
    [ $t -le 0 ] && return 1
    sleep 0.1
  done
}
no_window() { [ "$(drv count Marlinet)" = 0 ]; }
box_up() { drv visible "#32770" Marlinet; }
no_box() { ! box_up; }
box_says() { [ "$(drv box-text Marlinet)" = "$1" ]; }
box_ends_with() { [[ "$(drv box-text Marlinet)" == *"$1" ]]; }
not() { ! "$@"; }
tray_is() { [ "$(tray_state)" = "$1" ]; }
tray_windows() { [ "$(drv count-class TMarlinetTrayWindow)" = "$1" ]; }
in_front() { [ "$(drv foreground)" = "TMarlinetForm|Marlinet" ]; }
# Another program's window, in front, as a person working elsewhere has it.
other_in_front() { [ "$(drv foreground)" = "MarlinetOtherProgram|Another program" ]; }
other_program=""
start_other_program() {
  wine "$E2E_DRIVER" other-window 90 >/dev/null 2>&1 &
  other_program=$!
  eventually 10 other_in_front || fail "the other program's window did not come to the front"
}
running() { kill -0 "$pid" 2>/dev/null; }

dismiss_first_run_box() {
  check "the first-run error box appears" drv wait "#32770" Marlinet 15000
  drv box-ok Marlinet
  check "the error box goes" drv wait-gone "#32770" 5000
}

# A fresh folder's first start, past its one error box, with the icon up.
start_first_run() {
  new_folder
  start_program
  dismiss_first_run_box
  wait_tray bell || fail "no tray icon"
}

ini_value() { tr -d '\r' <"$work/Marlinet.ini" | awk -F= -v k="$1" '$1 == k { print $2 }'; }

# --- Cases --------------------------------------------------------------------

case_first_run_reports_missing_settings() {
  new_folder
  rm "$work/proc.kvr"
  start_program
  local file
  # One box for each file, the settings first, each after the one before.
  for file in prefs.kvr proc.kvr; do
    eventually 15 box_says "Cannot open file $(winpath "$work")\\$file." ||
      fail "no box for $file; the box says '$(drv box-text Marlinet)'"
    [ "$(drv count Marlinet)" = 1 ] || fail "more than the one box is showing"
    drv box-ok Marlinet
  done
  check "the boxes go" eventually 5 no_box
  check "the tray icon shows the bell" wait_tray bell
  stays 2 no_window || fail "a window or a second box showed after the first"
  check "the program keeps running" running
}

case_quit_writes_settings_and_form_state() {
  start_first_run
  choose 1
  check "Quit ends the program" wait_exit 10
  local prefs="$work/prefs.kvr"
  [ -f "$prefs" ] || fail "prefs.kvr not written"
  [ "$(grep -c $'\r$' "$prefs")" = 25 ] || fail "prefs.kvr is not 25 CR LF lines"
  [ "$(wc -l <"$prefs")" = 25 ] || fail "prefs.kvr has other line ends"
  local flags expected
  flags=$(head -1 "$prefs" | tr -d '\r')
  expected="$(printf '1%.0s' {1..24})0001$(printf '0%.0s' {1..26})"
  [ "$flags" = "$expected" ] || fail "flags line '$flags'"
  [ "$(tail -n +2 "$prefs" | tr -d '\r\n')" = "" ] || fail "place lines are not empty"

  local ini="$work/Marlinet.ini"
  [ -f "$ini" ] || fail "Marlinet.ini not written"
  [ "$(tr -d '\r' <"$ini" | head -1)" = "[Form1]" ] || fail "no [Form1] section first"
  for key in Top Left Width Height; do
    [[ "$(ini_value $key)" =~ ^-?[0-9]+$ ]] || fail "bound $key missing"
  done
  [ "$(tr -d '\r' <"$ini" | grep -c '\.Checked=')" = 34 ] || fail "not 34 check-mark keys"
  [ "$(tr -d '\r' <"$ini" | grep -c -E '\.Checked=(TRUE|FALSE)$')" = 34 ] || fail "values not TRUE/FALSE"
  local k
  for k in $(seq 0 23) 25; do [ "$(ini_value CheckBox$k.Checked)" = TRUE ] || fail "CheckBox$k"; done
  for k in CheckBox24 CheckBox27 RadioButton2 Quit1 TestBells1 Parameters1 MuteBells1 Clocks1; do
    [ "$(ini_value $k.Checked)" = FALSE ] || fail "$k should be FALSE"
  done
  [ "$(ini_value RadioButton1.Checked)" = TRUE ] || fail "RadioButton1"
}

case_mute_by_tray_click_survives_restart() {
  start_first_run
  tray_click 1
  check "a left click mutes" wait_tray muted 5
  sleep 1
  choose 1
  check "Quit ends the program" wait_exit 10
  [ "$(ini_value MuteBells1.Checked)" = TRUE ] || fail "mute state not saved"

  start_program
  check "the restart comes up muted" wait_tray muted 15
  stays 1 no_window || fail "a box or window showed at the restart"
  open_menu
  shot "$E2E_ARTEFACTS/menu-muted.png"
  mute_item_checked || fail "Mute Bells is not checked after the restart"
  mute_item_picture_muted || fail "Mute Bells does not show the muted picture after the restart"
  close_menu
  choose 4
  check "Mute Bells unmutes" wait_tray bell 5
  sleep 1
  open_menu
  mute_item_checked && fail "Mute Bells is still checked after unmuting"
  mute_item_picture_muted && fail "Mute Bells still shows the muted picture after unmuting"
  close_menu
  choose 1
  check "Quit ends the program" wait_exit 10
  [ "$(ini_value MuteBells1.Checked)" = FALSE ] || fail "unmute not saved"
}

case_double_click_toggles_mute_once() {
  start_first_run
  tray_click --repeat 2 --delay 80 1
  check "a double click mutes" wait_tray muted 5
  stays 2 tray_is muted || fail "the double click toggled twice"
  choose 1
  check "Quit ends the program" wait_exit 10
  [ "$(ini_value MuteBells1.Checked)" = TRUE ] || fail "mute state not saved"
}

case_close_box_ends_without_settings() {
  start_first_run
  show_options
  drv close Marlinet
  check "the close box ends the program" wait_exit 10
  [ -f "$work/prefs.kvr" ] && fail "the close box wrote prefs.kvr"
  [ -f "$work/Marlinet.ini" ] || fail "the form state was not saved"
  check "the tray icon goes" wait_tray none 5
}

places_prefs() {  # a settings file with the default flags and named places
  { printf '%s\r\n' "${all_hours}0001$(printf '0%.0s' {1..26})"
    for i in $(seq 24); do printf 'Place %s\r\n' "$i"; done; } >"$work/prefs.kvr"
  cp "$work/prefs.kvr" "$work/prefs.before"
}
expect_box() {  # expect_box <message>: the one error box says it; OK dismisses it
  check "an error box appears" drv wait "#32770" Marlinet 10000
  local text
  text=$(drv box-text Marlinet)
  [ "$text" = "$1" ] || fail "box says '$text', expected '$1'"
  drv box-ok Marlinet
  check "the box goes" eventually 5 no_box
}

case_unwritable_settings_on_quit() {
  new_folder
  places_prefs
  start_program
  wait_tray bell 15 || fail "no tray icon"
  hold_file "$work/prefs.kvr"
  choose 1
  expect_box "Cannot create file $(winpath "$work")\\prefs.kvr."
  stays 1 running || fail "the program ended"
  release_files
  cmp -s "$work/prefs.kvr" "$work/prefs.before" || fail "prefs.kvr changed"
  [ -z "$(find "$work" -name 'mrl*.tmp')" ] || fail "a temporary file was left behind"
  choose 1
  check "Quit ends the program once the file is writable" wait_exit 10
  [ "$(sed -n 2p "$work/prefs.kvr" | tr -d '\r')" = "Place 1" ] || fail "place lines lost"
  [ -f "$work/prefs.kvr.bak" ] && fail "a file that was read at start was moved aside"
  return 0
}

case_unreadable_settings_are_kept_aside() {
  new_folder
  places_prefs
  hold_file "$work/prefs.kvr"
  start_program
  expect_box "Cannot open file $(winpath "$work")\\prefs.kvr."
  wait_tray bell 15 || fail "no tray icon"
  # Still held: the file it could not read cannot be kept, so nothing is written.
  choose 1
  expect_box "Cannot create file $(winpath "$work")\\prefs.kvr."
  stays 1 running || fail "the program ended"
  release_files
  cmp -s "$work/prefs.kvr" "$work/prefs.before" || fail "prefs.kvr changed while held"
  choose 1
  check "Quit ends the program" wait_exit 10
  cmp -s "$work/prefs.kvr.bak" "$work/prefs.before" || fail "the unread file is not prefs.kvr.bak"
  [ "$(head -1 "$work/prefs.kvr" | tr -d '\r')" = "${all_hours}0001$(printf '0%.0s' {1..26})" ] ||
    fail "the new prefs.kvr does not hold the window's options"
}

case_unwritable_form_state_on_exit() {
  new_folder
  write_prefs "${all_hours}0001"
  printf '[Form1]\r\nMuteBells1.Checked=FALSE\r\n' >"$work/Marlinet.ini"
  hold_file "$work/Marlinet.ini"
  local how
  for how in close-box Quit; do
    start_program
    wait_tray bell 15 || fail "no tray icon"
    if [ $how = Quit ]; then
      choose 1
    else
      show_options
      drv close Marlinet
    fi
    check "the failed save is reported ($how)" drv wait "#32770" Marlinet 10000
    local text
    text=$(drv box-text Marlinet)
    [ "$text" = "Unable to write to $(winpath "$work")\\Marlinet.ini." ] || fail "box says '$text'"
    stays 2 box_up || fail "the exit box did not wait for OK ($how)"
    drv box-ok Marlinet
    check "the program then ends ($how)" wait_exit 10
    check "the tray icon goes ($how)" wait_tray none 5
  done
}

case_log_off_keeps_the_mute_state() {
  new_folder
  places_prefs
  start_program
  wait_tray bell 15 || fail "no tray icon"
  tray_click 1
  check "a left click mutes" wait_tray muted 5
  check "the log-off is delivered" drv end-session Marlinet
  [ -f "$work/Marlinet.ini" ] || fail "the log-off saved no form state"
  [ "$(ini_value MuteBells1.Checked)" = TRUE ] || fail "the log-off did not keep the mute state"
  cmp -s "$work/prefs.kvr" "$work/prefs.before" || fail "the log-off wrote the settings file"
  stays 1 no_window || fail "a box or window showed at the log-off"
  check "the program ends by itself after the log-off" wait_exit 10
}

case_shell_restart_brings_the_icon_back() {
  new_folder
  write_prefs "${all_hours}0001"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  check "the shell forgets the icon" drv drop-icon
  check "the icon is gone" wait_tray none 5
  drv taskbar-created
  check "the icon is back once the shell says it restarted" wait_tray bell 5
  drv close-tray
  stays 1 tray_is bell || fail "a polite close to the tray's window took the icon away"
  check "the program keeps running" running
}

case_quit_and_start_again_at_once_leaves_one_copy() {
  new_folder
  write_prefs "${all_hours}0001"
  printf '[Form1]\r\nMuteBells1.Checked=FALSE\r\n' >"$work/Marlinet.ini"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  # "Quit" that ends slowly: its last save finds the form state held and
  # waits for OK on its box, still holding the folder.
  hold_file "$work/Marlinet.ini"
  choose 1
  check "the slow end's box" drv wait "#32770" Marlinet 10000
  wine "$work/Marlinet.exe" >/dev/null 2>&1 &
  local again=$!
  others+=($again)
  stays 2 kill -0 $again || fail "the start during the Quit ended at once"
  release_files
  drv box-ok Marlinet
  check "the quitting copy ends" wait_exit 10
  pid=$again
  others=()
  check "the new start shows its icon" wait_tray bell 10
  stays 2 running || fail "the new start did not keep running"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy"
  # And with no box to slow it: the menu's Quit and a start straight after.
  choose 1
  wine "$work/Marlinet.exe" >/dev/null 2>&1 &
  pid=$!
  check "Quit and an immediate start leave a copy with its icon" wait_tray bell 15
  stays 2 running || fail "no copy is left running"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "not one copy"
}

case_one_copy_per_folder() {
  new_folder
  write_prefs "${all_hours}0001"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  # The person works in another program and cannot see the bell.
  start_other_program
  wine "$work/Marlinet.exe" >/dev/null 2>&1 &
  local second=$! t=100
  while kill -0 $second 2>/dev/null && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
  kill -0 $second 2>/dev/null && fail "a second copy from the same folder kept running"
  wait $second || fail "the second copy ended with an error"
  [ "$(drv count-class TMarlinetTrayWindow)" = 1 ] || fail "the second copy added an icon"
  [ -f "$work/Marlinet.ini" ] && fail "the second copy wrote its form state"
  check "the running copy's options come to the front" eventually 5 in_front
  drv press Marlinet OK
  check "OK hides the options again" eventually 3 not drv visible TMarlinetForm Marlinet
  # A copy in another folder is another program.
  local other
  other=$(mktemp -d /tmp/marlinet-e2e.XXXXXX)
  cp -r "$E2E_PROGRAM"/. "$other"/
  cp "$work/prefs.kvr" "$other"/
  wine "$other/Marlinet.exe" >/dev/null 2>&1 &
  others+=($!)
  eventually 10 tray_windows 2 || fail "a copy in another folder did not start beside the first"
  drv quit-all
  wait "${others[@]}" 2>/dev/null
  others=()
  wait_exit 10 || fail "the first copy did not end"
  rm -rf "$other"
}

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

# --- The launch list ------------------------------------------------------------

# A small program of the test's own, beside Marlinet, that notes each start
# in waiter.exe.log.
add_waiter() {
  cp "$E2E_WAITER" "$work/waiter.exe"
  waiter_entry="$(winpath "$work")\\waiter.exe"
}
show_options() {  # "Parameters" from the tray menu
  choose 3
  check "Parameters shows the window" drv wait TMarlinetForm Marlinet 5000
}
show_clocks() {  # "Clocks" from the tray menu
  choose 5
  check "Clocks shows the window" drv wait TMarlinetForm Clocks 5000
}
open_editor() {  # "Parameters" from the tray menu, then "Processes"
  show_options
  drv press Marlinet Processes
  check "Processes opens the editor" drv wait TMarlinetForm "Start Program" 5000
}
starts() { [ -f "$work/waiter.exe.log" ] && wc -l <"$work/waiter.exe.log" || echo 0; }
started_times() { [ "$(starts)" -ge "$1" ]; }
now_ms() { date +%s%3N; }

case_launch_restarts_a_running_program() {
  new_folder
  write_prefs "${all_hours}0001"
  add_waiter
  wine "$work/waiter.exe" >/dev/null 2>&1 &
  local waiter=$!
  check "the waiter starts" eventually 10 started_times 1
  # An entry naming Marlinet itself comes first: it ends and opens nothing.
  printf '[1429][%s\\Marlinet.exe]\r\n[1429][%s]\r\n' "$(winpath "$work")" "$waiter_entry" \
    >"$work/proc.kvr"
  start_time=14:29:50
  start_at $start_time
  # Due at once: the first launch tick ends the running waiter...
  local t=200
  while kill -0 $waiter 2>/dev/null && [ $t -gt 0 ]; do sleep 0.05; t=$((t - 1)); done
  kill -0 $waiter 2>/dev/null && fail "the running waiter was not ended"
  local ended
  ended=$(now_ms)
  wait $waiter
  [ $? = 0 ] || fail "the waiter was not ended with exit code 0"
  # ... and starts it again a second later.
  t=200
  while [ "$(starts)" -lt 2 ] && [ $t -gt 0 ]; do sleep 0.05; t=$((t - 1)); done
  [ "$(starts)" -ge 2 ] || fail "the waiter was not started again"
  local gap=$(($(now_ms) - ended))
  [ $gap -ge 800 ] && [ $gap -le 5000 ] || fail "started again after ${gap} ms, not about a second"
  stays 2 started_times 2 || fail "started more than once"
  [ "$(starts)" = 2 ] || fail "started more than once"
  running || fail "the entry naming the program itself ended it"
}

case_launch_switched_off_across_an_entry_skips_it() {
  new_folder
  write_prefs "${all_hours}0001"
  add_waiter
  printf '[1430][%s]\r\n[1431][%s]\r\n' "$waiter_entry" "$waiter_entry" >"$work/proc.kvr"
  start_time=14:29:40
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  # The first tick, a second after start, runs 14:29 and sets the 60 s
  # period: the next ticks come at about 14:30:4x and 14:31:4x.
  show_options
  drv press Marlinet On/Off
  [ "$(drv checked Marlinet On/Off)" = 0 ] || fail "On/Off still checked"
  [ $(($(date +%s) - started)) -lt 19 ] || fail "too slow: On/Off cleared after 14:29:59"
  # Switched on again once the 14:30 tick has found it off.
  at_program_time 14:31:00
  drv press Marlinet On/Off
  [ "$(drv checked Marlinet On/Off)" = 1 ] || fail "On/Off not checked again"
  at_program_time 14:31:58
  check "the 14:31 entry ran at the tick after switching on" eventually 10 started_times 1
  stays 2 started_times 1
  [ "$(starts)" = 1 ] || fail "started $(starts) times: the skipped 14:30 entry was caught up"
  grep -q '^[0-9-]* 14:31:[0-9]*  \[1431\].*opened' "$work/launch.log" ||
    fail "launch.log does not show the 14:31 entry opened: $(cat "$work/launch.log")"
  ! grep -q '\[1430\]' "$work/launch.log" || fail "launch.log shows the 14:30 entry"
}

# A missing file at 10:11. With "Tell Me When a Launch Fails" ticked, one
# balloon on the icon says which and why; unticked, none. The log tells it
# either way.
balloons_saying() {  # balloons_saying <text> <count>
  [ "$(drv balloons | grep -c -F "$1")" = "$2" ]
}
case_a_failed_launch_shows_one_balloon_when_ticked() {
  local ticked
  for ticked in 0 1; do
    new_folder
    write_prefs "${all_hours}0001"
    printf '[1011][C:\\nowhere\\gone.exe]\r\n' >"$work/proc.kvr"
    [ $ticked = 1 ] && printf '[Options]\r\nTellLaunchFailures=1\r\n' >"$work/Marlinet.ini"
    start_time=10:10:57
    start_at $start_time
    wait_tray bell 15 || fail "no tray icon"
    check "launch.log tells the failed open" \
      eventually 20 grep -q '^[0-9-]* 10:11:[0-9]*  \[1011\].*not opened: ' "$work/launch.log"
    if [ $ticked = 1 ]; then
      check "one balloon tells the failure: $(drv balloons)" \
        eventually 5 balloons_saying '10:11 C:\nowhere\gone.exe: ' 1
      mkdir -p "$E2E_ARTEFACTS"
      shot "$E2E_ARTEFACTS/launch-failed-balloon.png"
    else
      stays 4 balloons_saying 'gone.exe' 0 || fail "a balloon while unticked: $(drv balloons)"
    fi
    drv quit-all
    wait_exit 10 || fail "the program did not end"
    rm -rf "$work"
  done
}

case_processes_ok_writes_and_cancel_keeps_running() {
  new_folder
  write_prefs "${all_hours}0001"
  add_waiter
  # The editor's steps take about ten seconds, all before 14:30.
  start_time=14:29:40
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  open_editor
  [ "$(drv owner "Start Program")" = Marlinet ] || fail "the editor is not owned by the main window"
  drv set-text "Start Program" 'no bracket\n[1200][x]\n\nlast'
  window_shot "Start Program" editor-window.png
  drv press "Start Program" OK
  check "OK closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
  check "the main window is active again" eventually 3 in_front
  cmp -s "$work/proc.kvr" <(printf '[1200][x]\r\n') || fail "OK wrote '$(cat -A "$work/proc.kvr")'"
  drv press Marlinet Processes
  check "Processes opens the editor again" drv wait TMarlinetForm "Start Program" 5000
  drv set-text "Start Program" "[1200][x]\\n[1430][$waiter_entry]"
  drv press "Start Program" Cancel
  check "Cancel closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
  cmp -s "$work/proc.kvr" <(printf '[1200][x]\r\n') || fail "Cancel wrote the file"
  [ "$(program_seconds_until 14:30:00)" -gt 0 ] || fail "the editor's steps ran past 14:30"
  # The typed entry is in force: the tick at the start of 14:30 starts the
  # waiter.
  at_program_time 14:30:00
  check "the entry typed before Cancel ran at its minute" eventually 20 started_times 1
}

# --- The clocks window -----------------------------------------------------------

# One control of a window's dump, by its place: "enabled|visible|background|text".
control_at() {  # control_at <title> <left,top,width,height>
  drv dump TMarlinetForm "$1" | awk -F'|' -v r="$2" '$2 == r {
    print $3 "|" $4 "|" $5 "|" substr($0, length($1 $2 $3 $4 $5 $6) + 7); exit }'
}
panel_text() { control_at Clocks "$1" | cut -d'|' -f4-; }
panel_rect() {  # panel_rect <n>: where time panel n stands
  echo "$((2 + 104 * (($1 - 1) % 4))),$((44 + 48 * (($1 - 1) / 4))),98,22"
}
shows() { [ "$(panel_text "$1")" = "$2" ]; }
# Looked at afresh at each try of `eventually` (a "$(...)" in its arguments
# would be read once, before the first).
help_shown() { [ "$(control_at Clocks 57,114,300,133 | cut -d'|' -f2)" = "$1" ]; }
reset_enabled() { [ "$(control_at Clocks 209,323,76,24 | cut -d'|' -f1)" = 1 ]; }
panel_marked() { [ "$(panel_text "$(panel_rect "$1")" | tail -c 2)" = "*" ]; }
is_foreground() { [ "$(drv foreground)" = "$1" ]; }

case_clocks_window_shows_edits_and_saves_the_places() {
  new_folder
  # Box 2 on daylight-saving time (position 29).
  { printf '%s\r\n' "${all_hours}00011$(printf '0%.0s' {1..25})"
    printf '%s\r\n' "Greenwich [0]" "Orvanta [-6]" "Nowhere [13]" "No brackets"
    for _ in $(seq 20); do printf '\r\n'; done; } >"$work/prefs.kvr"
  start_time=14:05:10  # UTC, as the program sees it
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  show_clocks
  sleep 0.5
  window_shot Clocks clocks-window.png
  shows 260,17,98,22 "2: 05 PM" || fail "GMT panel shows '$(panel_text 260,17,98,22)'"
  local n expected=("2:05 PM" "9:05 AM*" "00: 00" "")
  for n in 1 2 3 4; do
    shows "$(panel_rect $n)" "${expected[$((n - 1))]}" ||
      fail "panel $n shows '$(panel_text "$(panel_rect $n)")', expected '${expected[$((n - 1))]}'"
  done
  [ "$(control_at Clocks 211,67,96,15 | cut -d'|' -f3)" = 000000FF ] || fail "box 3 is not red"
  check "the clocks window is in front" eventually 3 is_foreground "TMarlinetForm|Clocks"

  # Typing freezes the panels and swaps OK for Reset; Reset saves the box.
  drv set-text Clocks "Lisbon [1]" "Greenwich [0]"
  [ "$(control_at Clocks 128,323,76,24 | cut -d'|' -f1)" = 0 ] || fail "OK still enabled"
  [ "$(control_at Clocks 209,323,76,24 | cut -d'|' -f1)" = 1 ] || fail "Reset not enabled"
  shows "$(panel_rect 1)" "2:05 PM" || fail "the panel changed while editing"
  drv press Clocks Reset
  check "Reset shows the new place" eventually 3 shows "$(panel_rect 1)" "3:05 PM"
  [ "$(sed -n 2p "$work/prefs.kvr" | tr -d '\r')" = "Lisbon [1]" ] || fail "Reset did not save the box"
  [ "$(control_at Clocks 128,323,76,24 | cut -d'|' -f1)" = 1 ] || fail "OK not enabled after Reset"

  # The help panel while the pointer is over "Help", with real pointer moves.
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  xdotool mousemove $((cx + 200)) $((cy + 330))
  sleep 0.3
  [ "$(control_at Clocks 57,114,300,133 | cut -d'|' -f2)" = 0 ] || fail "help shown at start"
  xdotool mousemove $((cx + 398)) $((cy + 5))
  check "the help shows over Help" eventually 3 help_shown 1
  window_shot Clocks clocks-help.png
  xdotool mousemove $((cx + 200)) $((cy + 330))
  check "the help goes with the pointer" eventually 3 help_shown 0
}

clocks_prefs() {  # clocks_prefs <place text...>: default flags, those places first
  { printf '%s\r\n' "${all_hours}0001$(printf '0%.0s' {1..26})"
    printf '%s\r\n' "$@"
    for _ in $(seq $((24 - $#))); do printf '\r\n'; done; } >"$work/prefs.kvr"
}
program_seconds_until() {  # program_seconds_until HH:MM:SS (after start_at)
  echo $(($(date -d "today $1" +%s) - $(date -d "today $start_time" +%s) - ($(date +%s) - started)))
}

case_a_stored_bad_fraction_warns_once() {
  # As the main window's OK or Quit may store it.
  new_folder
  clocks_prefs "Frac [5.45]" "Greenwich [0]"
  start_time=14:05:45
  start_at $start_time
  check "the stored box warns at start" drv wait "#32770" Warning 15000
  local said
  said=$(drv box-text Warning)
  [ "$said" = "Decimal value must be .25, .5, or .75 in - 'Frac [5.45]'" ] || fail "the warning says '$said'"
  drv box-ok Warning
  check "the warning goes" eventually 5 not drv visible "#32770" Warning
  [ "$(program_seconds_until 14:06:00)" -gt 2 ] || fail "too slow: the start's warning ran into 14:06"
  # The clocks window hidden, two new minutes pass without a warning.
  while [ "$(program_seconds_until 14:07:05)" -gt 0 ]; do
    drv visible "#32770" Warning &&
      fail "the stored box warned again, $(program_seconds_until 14:07:05) s before 14:07:05"
    sleep 0.5
  done
  show_clocks
  shows "$(panel_rect 2)" "2:07 PM" || fail "the other place stopped at '$(panel_text "$(panel_rect 2)")'"
}

case_dst_after_reset_survives_the_close_box() {
  new_folder
  clocks_prefs "Greenwich [0]" "Lisbon [0]"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  show_clocks
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  # Right click on place 2's time, then "DS Time", the menu's second item.
  xdotool mousemove $((cx + 106 + 49)) $((cy + 44 + 11)) click 3
  sleep 0.5
  xdotool key Down Down Return
  check "DS Time enters the editing state" eventually 3 reset_enabled
  drv press Clocks Reset
  check "Reset shows the mark" eventually 3 panel_marked 2
  show_options
  drv close Marlinet
  check "the close box ends the program" wait_exit 10
  local flags
  flags=$(head -1 "$work/prefs.kvr" | tr -d '\r')
  [ "${flags:28:1}" = 1 ] || fail "place 2's DST flag (position 29) was lost: $flags"
  [ "$(sed -n 3p "$work/prefs.kvr" | tr -d '\r')" = "Lisbon [0]" ] || fail "the places were not kept"
}

# --- Places that follow a time zone ------------------------------------------------

# The program on a given date and time (UTC, which is its own zone here), with
# the clock movable while it runs, and Wine's menu trace in $program_log: a
# menu's items are known only to the process that made it.
set_program_clock() {  # set_program_clock "YYYY-MM-DD HH:MM:SS"
  echo $(($(date -ud "$1" +%s) - $(date +%s))) >"$work/clock-offset"
}
start_on() {  # start_on "YYYY-MM-DD HH:MM:SS"
  export TZ=UTC
  set_program_clock "$1"
  program_log=$work/program.log
  : >"$program_log"
  start_program env MARLINET_TIME_OFFSET_FILE="$work/clock-offset" \
    LD_PRELOAD="$E2E_TIMESHIFT/\$LIB/timeshift.so" WINEDEBUG=+menu
}
# The last laid-out row of the menu item whose text begins so: "top bottom".
menu_item_rows() {  # menu_item_rows <text>
  tr -d '\r' <"$program_log" | awk -v text="Text=L\"$1" '
    want && /calc_menu_item_size \(/ {
      s = $0; sub(/.*calc_menu_item_size \(/, "", s); gsub(/[^0-9]+/, " ", s); split(s, n, " ")
      row = n[2] " " n[4]; want = 0 }
    index($0, text) && /calc_menu_item_size dc=/ { want = 1 }
    END { print row }'
}
item_laid_out() { [ -n "$(menu_item_rows "$1")" ]; }
menus_open() { [ "$(drv menus | wc -l)" = "$1" ]; }
# The menu opened last, then the point in the middle of its item's row (its
# text's start, clear of the check mark), once the item has been laid out:
# into item_x and item_y.
menu_item_point() {  # menu_item_point <text>
  local left top rows
  eventually 5 item_laid_out "$1" || fail "no menu item '$1' was laid out"
  read -r left top _ < <(drv menus | sort -n -r | head -1)
  [ -n "$left" ] || fail "no menu is open"
  read -r rows < <(menu_item_rows "$1")
  set -- $rows
  item_x=$((left + 30))
  item_y=$((top + 3 + ($1 + $2) / 2))
}
pick_menu_item() {  # pick_menu_item <text>: a real click on it
  menu_item_point "$1"
  xdotool mousemove "$item_x" "$item_y"
  sleep 0.3
  xdotool click 1
  sleep 0.3
}
open_place_menu() {  # open_place_menu <place>: a right click on its time
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  : >"$program_log"
  xdotool mousemove $((cx + 2 + 104 * (($1 - 1) % 4) + 49)) $((cy + 44 + 48 * (($1 - 1) / 4) + 11)) click 3
  eventually 5 menus_open 1 || {
    shot "$E2E_ARTEFACTS/zones-no-menu.png"
    fail "the place's menu did not open: $(drv menus | tr '\n' ';')"
  }
}
open_zone_menu() {  # open_zone_menu <place>: its time's menu, then the zones submenu
  open_place_menu "$1"
  menu_item_point "Follow Time Zone"
  xdotool mousemove "$item_x" "$item_y"
  eventually 5 menus_open 2 || fail "the zones submenu did not open"
}
zone_of() { tr -d '\r' <"$work/Marlinet.ini" | awk -F= -v k="Box$1" '
  /^\[/ { in_zones = $0 == "[Time Zones]" } in_zones && $1 == k { print $2 }'; }
place_flag() { head -1 "$work/prefs.kvr" | tr -d '\r' | cut -c"$1"; }  # by position

case_a_place_follows_its_time_zone() {
  new_folder
  clocks_prefs "Berlin [1]"
  local berlin="(UTC+01:00) Amsterdam, Berlin, Bern, Rome, Stockholm, Vienna"
  # 1. Chosen in March, in Berlin's winter: standard time after Reset.
  start_on "2026-03-11 10:00:05"
  wait_tray bell 15 || fail "no tray icon"
  show_clocks
  open_zone_menu 1
  shot "$E2E_ARTEFACTS/zones-menu.png"
  pick_menu_item "$berlin"
  check "choosing a zone enters the editing state" eventually 3 reset_enabled
  [ "$(zone_of 1)" = "W. Europe Standard Time" ] || fail "the choice was not kept at once: '$(zone_of 1)'"
  drv press Clocks Reset
  check "Reset shows standard time" eventually 3 shows "$(panel_rect 1)" "11:00 AM"
  # 2. The clock moves on to April: daylight-saving time with nobody clicking.
  set_program_clock "2026-04-01 10:01:30"
  check "the place went on daylight-saving time by itself" eventually 60 \
    shows "$(panel_rect 1)" "12:01 PM*"
  # 3. Still following after a new start, and the file holds the flag in force.
  choose 1
  check "Quit ends the program" wait_exit 10
  [ "$(place_flag 52)" = 1 ] || fail "prefs.kvr's flag for the place is not 1"
  start_on "2026-03-11 10:05:10"  # back in winter: a follower drops the stored "*"
  wait_tray bell 15 || fail "no tray icon after the new start"
  show_clocks
  check "the place still follows its zone" eventually 3 shows "$(panel_rect 1)" "11:05 AM"
  # 4. "Std Time" by hand ends following, for good.
  open_place_menu 1
  pick_menu_item "Std Time"
  drv press Clocks Reset
  [ -z "$(zone_of 1)" ] || fail "following did not end: '$(zone_of 1)'"
  choose 1
  check "Quit ends the program" wait_exit 10
  start_on "2026-04-01 10:07:10"  # summer: a follower would show the "*"
  wait_tray bell 15 || fail "no tray icon after the last start"
  show_clocks
  stays 2 shows "$(panel_rect 1)" "11:07 AM" ||
    fail "following came back: the place shows '$(panel_text "$(panel_rect 1)")'"
  [ -z "$(zone_of 1)" ] || fail "the zone came back in Marlinet.ini"
}

# Ship's time: a place at [5.75] holds the bells, so they follow UTC plus
# 5 h 45 min while the computer keeps UTC.
case_ships_time_strikes_on_the_places_half_hour() {
  new_folder
  clocks_prefs "Kathmandu [5.75]"
  program_log=$work/program.log
  local offsets=$work/clock-offset
  start_time=14:29:25
  echo $(($(date -ud "today $start_time" +%s) - $(date +%s))) >"$offsets"
  start_at $start_time WINEDEBUG=+menu MARLINET_TIME_OFFSET_FILE="$offsets"
  wait_tray bell 15 || fail "no tray icon"
  show_clocks
  open_place_menu 1
  pick_menu_item "Ship's Time: Strike Bells Here"
  check "the choice is kept at once" eventually 3 \
    [ "$(tr -d '\r' <"$work/Marlinet.ini" | grep -A1 -F "[Ship's Time]" | tail -1)" = "Place=1" ]
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  [ "$(pixel $((cx + 2 + 10)) $((cy + 44 + 11)))" = "#800000" ] || fail "the place's panel is not marked"
  shows "$(panel_rect 1)" "8:14 PM" || shows "$(panel_rect 1)" "8:15 PM" ||
    fail "the panel's text changed: '$(panel_text "$(panel_rect 1)")'"
  [ "$(program_seconds_until 14:30:00)" -gt 0 ] || fail "the choice came after 14:30"
  at_program_time 14:30:06
  heard_nothing || fail "14:30 here (20:15 there) struck"
  # On to 14:44:50 here, as a clock set by hand: Windows tells the windows.
  echo $(($(date -ud "today 14:44:50" +%s) - $(date +%s))) >"$offsets"
  sleep 0.5
  drv time-change
  local mark_ms heard_ms t=1000
  mark_ms=$((($(date -ud "today 14:45:00" +%s) - $(cat "$offsets")) * 1000))
  while [ ! -s "$work/capture.raw" ] && [ $t -gt 0 ]; do sleep 0.02; t=$((t - 1)); done
  heard_ms=$(date +%s%3N)
  [ $t -gt 0 ] || fail "nothing struck by 14:45:10 here"
  check "14:45 here (20:30 there) strikes one bell" heard 0+1bell.wav
  echo "the strike began ${heard_ms} - ${mark_ms} = $((heard_ms - mark_ms)) ms after the mark"
  [ $((heard_ms - mark_ms)) -ge 0 ] && [ $((heard_ms - mark_ms)) -lt 1000 ] ||
    fail "the strike began $((heard_ms - mark_ms)) ms after the mark"
  stays 4 heard 0+1bell.wav || fail "more than one strike at 20:30 there"
}

# --- The guide's pictures -----------------------------------------------------------

# The README's pictures as a user of the package has them: its places, and a
# few launch entries a person might keep (none due while the pictures are
# taken). They land in the artefacts under guide-*.png.
case_guide_pictures() {
  new_folder
  (cd "$work" && cmake -E tar xf "$E2E_PACKAGE" Marlinet/prefs.kvr) || fail "cannot unpack the places"
  mv "$work/Marlinet/prefs.kvr" "$work/prefs.kvr"
  printf '%s\r\n' '[0730][C:\Windows\notepad.exe]' \
    '[1200][C:\Users\Public\Documents\Noon watch.txt]' \
    '[1745][C:\Program Files\Mail\Mail.exe]~' >"$work/proc.kvr"
  printf '[Options]\r\nTellLaunchFailures=1\r\n' >"$work/Marlinet.ini"
  printf '2026-12-07 07:30:01  [0730][C:\\Windows\\notepad.exe]  none running; opened\r\n' \
    >"$work/launch.log"
  start_time=14:05:10
  program_log=$work/program.log  # the menu's items, for the zones picture
  start_at $start_time WINEDEBUG=+menu
  wait_tray bell 15 || fail "no tray icon"
  show_options
  sleep 0.5
  window_shot Marlinet guide-main-window.png
  drv press Marlinet Processes
  check "Processes opens the editor" drv wait TMarlinetForm "Start Program" 5000
  sleep 0.5
  window_shot "Start Program" guide-editor-window.png
  drv press "Start Program" Cancel
  check "Cancel closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
  # Out of the way of the zones submenu, which reaches past the clocks.
  drv press Marlinet OK
  show_clocks
  local cx cy
  read -r cx cy _ < <(drv client TMarlinetForm Clocks)
  # The pointer on the window's own background, over no button.
  xdotool mousemove $((cx + 100)) $((cy + 340))
  sleep 0.5
  window_shot Clocks guide-clocks-window.png
  xdotool mousemove $((cx + 398)) $((cy + 5))
  check "the help shows over Help" eventually 3 help_shown 1
  sleep 0.3
  window_shot Clocks guide-clocks-help.png
  # New York follows its zone: the submenu with it checked and the next change.
  xdotool mousemove $((cx + 100)) $((cy + 340))
  open_zone_menu 2
  pick_menu_item "(UTC-05:00) Eastern Time (US && Canada)"  # the menu's own "&"
  drv press Clocks Reset
  open_zone_menu 2
  sleep 0.5
  clocks_shot_with_menus guide-clocks-zones.png
  xdotool key Escape Escape
  # The bells on ship's time: the first place's panel marked, its item checked.
  sleep 0.5
  open_place_menu 1
  pick_menu_item "Ship's Time: Strike Bells Here"
  open_place_menu 1
  sleep 0.5
  clocks_shot_with_menus guide-clocks-ships-time.png
  xdotool key Escape
  # The three places in the tray icon's tip, seen as the pointer rests on it.
  local place
  for place in 1 2 3; do
    sleep 0.5
    open_place_menu $place
    pick_menu_item "Show in Tray Tip"
  done
  tr -d '\r' <"$work/Marlinet.ini" | grep -qx 'Box3=1' || fail "the third place's choice was not kept"
  drv press Clocks OK
  xdotool mousemove $((TRAY_X - 40)) $((TRAY_Y - 40))
  sleep 0.5
  xdotool mousemove $TRAY_X $TRAY_Y
  check "the tip shows over the icon" eventually 8 drv shown-tip
  local tip x y w h
  tip=$(drv shown-tip | tail -n +2 | tr -d '\r')
  read -r x y w h < <(drv shown-tip | head -1)
  case $tip in
    $'Greenwich 2:05 PM\nNew York '*$' AM'*$'\nTokyo 11:05 PM') ;;
    *) fail "the tip reads: $(printf '%s' "$tip" | tr '\n' '|')" ;;
  esac
  # The tip and the icon under it, with a little of the desktop around them.
  local left=$((x < TRAY_X - 20 ? x - 8 : TRAY_X - 28)) top=$((y - 8))
  import -window root -crop "$((1024 - left))x$((768 - top))+${left}+${top}" +repage \
    "$E2E_ARTEFACTS/guide-tray-tip.png"
  # The tray menu with "Launch Options" open: one of them ticked, and a log
  # for "Open Launch Log" to open.
  sleep 0.5
  : >"$program_log"
  tray_click 3
  eventually 5 menus_open 1 || fail "the tray menu did not open"
  menu_item_point "Launch Options"
  xdotool mousemove "$item_x" "$item_y"
  eventually 5 menus_open 2 || fail "the Launch Options submenu did not open"
  sleep 0.5
  menus_shot guide-launch-options.png
  # Closed by a click beside it: after menus closed with keys, Wine's
  # desktop lets the next right click on the icon go by.
  xdotool mousemove 400 300 click 1
  eventually 5 menus_open 0 || fail "the Launch Options menus did not close"
  sleep 1
  # The tray menu with "Bell Options" and its "Volume" open.
  tray_menu_open
  into_menu_item "Bell Options"
  into_menu_item "Volume"
  sleep 0.5
  menus_shot guide-bell-options.png
  xdotool key Escape Escape Escape
}
menus_shot() {  # the open menus, with a margin of the desktop around them, into the artefacts
  local left=100000 top=100000 right=0 bottom=0
  while read -r mx my mw mh; do
    [ "$mx" -lt $left ] && left=$mx
    [ "$my" -lt $top ] && top=$my
    [ $((mx + mw)) -gt $right ] && right=$((mx + mw))
    [ $((my + mh)) -gt $bottom ] && bottom=$((my + mh))
  done < <(drv menus)
  [ $right -gt 0 ] || fail "no menu is open for the picture"
  left=$((left - 8))
  top=$((top - 8))
  right=$((right + 8))
  bottom=$((bottom + 8))
  import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$E2E_ARTEFACTS/$1"
}
clocks_shot_with_menus() {  # the clocks window and the menus open over it, into the artefacts
  local x y w h right bottom
  read -r x y w h < <(drv rect TMarlinetForm Clocks)
  right=$((x + w))
  bottom=$((y + h))
  while read -r mx my mw mh; do
    [ $((mx + mw)) -gt $right ] && right=$((mx + mw))
    [ $((my + mh)) -gt $bottom ] && bottom=$((my + mh))
  done < <(drv menus)
  import -window root -crop "$((right - x))x$((bottom - y))+$x+$y" +repage "$E2E_ARTEFACTS/$1"
}

# --- Bad input ---------------------------------------------------------------------

# Files as damage or another editor may leave them. The program must start,
# show at most the message its rules give, keep running with its icon, and
# write none of them back by itself.
bad_content() {  # bad_content <kind> <file>
  case $1 in
    # The same junk every run: a line of it first, then anything.
    junk) python3 -c 'import random, sys; random.seed(7)
sys.stdout.buffer.write(b"x\xfe\x01\x02\x03\r\n" + bytes(random.randrange(256) for _ in range(4096)))' >"$2" ;;
    nuls) head -c 2000 /dev/zero >"$2" ;;
    long-line) head -c 10000000 /dev/zero | tr '\0' '1' >"$2" ;;
    many-lines) yes '[0000][x]~' | head -n 100000 >"$2" ;;
    cr-only) printf '%s\r' "${all_hours}0001" "Lisbon [0]" >"$2" ;;
    lf-only) printf '%s\n' "${all_hours}0001" "Lisbon [0]" >"$2" ;;
    short-flags) printf '101\r\n' >"$2" ;;
    huge-place) { printf '%s\r\n' "${all_hours}0001"; head -c 10000 /dev/zero | tr '\0' 'x'; printf '[0]\r\n'; } >"$2" ;;
    out-of-range) printf '[9999][x]\r\n[2461][y]\r\n[-100][z]\r\n' >"$2" ;;
    non-ascii) printf '[0000][\xe9\xe8\xff\xfe]\xc4\r\n' >"$2" ;;
    bom) printf '\xef\xbb\xbf%s\r\n' "${all_hours}0001" >"$2" ;;
  esac
}

case_bad_files_start_quietly_and_are_not_rewritten() {
  # file | content | the one box it may give ("" for none)
  local rows=(
    "prefs.kvr|junk|" "prefs.kvr|nuls|" "prefs.kvr|long-line|" "prefs.kvr|many-lines|"
    "prefs.kvr|cr-only|" "prefs.kvr|lf-only|" "prefs.kvr|short-flags|" "prefs.kvr|huge-place|"
    "prefs.kvr|non-ascii|" "prefs.kvr|bom|"
    "proc.kvr|junk|*is not a valid integer value" "proc.kvr|long-line|Text exceeds memo capacity"
    "proc.kvr|many-lines|Text exceeds memo capacity" "proc.kvr|out-of-range|"
    "proc.kvr|non-ascii|" "Marlinet.ini|junk|" "Marlinet.ini|long-line|" "Marlinet.ini|nuls|"
  )
  local row file kind box
  for row in "${rows[@]}"; do
    IFS='|' read -r file kind box <<<"$row"
    new_folder
    write_prefs "${all_hours}0001"
    bad_content "$kind" "$work/$file"
    cp "$work/$file" "$work/before"
    start_program
    if [ -n "$box" ]; then
      # "*" first: the end of the message is known, its quoted text is junk.
      eventually 15 box_ends_with "${box#\*}." || fail "$file $kind: no box '$box'"
      drv box-ok Marlinet
    fi
    wait_tray bell 15 || fail "$file $kind: no tray icon"
    stays 2 no_window || fail "$file $kind: a box or window showed: $(drv box-text Marlinet)"
    running || fail "$file $kind: the program ended"
    drv quit-all
    wait_exit 10 || fail "$file $kind: the program did not end"
    [ "$file" = Marlinet.ini ] || cmp -s "$work/$file" "$work/before" || fail "$file $kind: rewritten"
    pid=""
    rm -rf "$work"
  done
  work=""
}

case_damaged_files_still_strike_and_launch_what_they_can() {
  new_folder
  add_waiter
  # CR-only line ends and a byte-order mark in the settings; the launch list
  # marked the same way, its good entry first, then a line of junk.
  printf '\xef\xbb\xbf%s\r%s\r' "${all_hours}0001" "Lisbon [0]" >"$work/prefs.kvr"
  { printf '\xef\xbb\xbf[1429][%s]\n[1430][%s]\n' "$waiter_entry" "$waiter_entry"
    printf '\x01\xfe\x00junk\n'; } >"$work/proc.kvr"
  start_time=14:29:40
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  # The good entry runs; the junk line after it is reported once, as its
  # time field is no number.
  check "the readable entry ran" eventually 10 started_times 1
  # (A NUL ends the list's text, so the junk line is just its first bytes.)
  local expected
  expected=$(printf "'\\xfe' is not a valid integer value.")
  eventually 10 box_says "$expected" || fail "box: $(drv box-text Marlinet | cat -v)"
  # The bad line keeps the ticks coming every second: the entry above it
  # still runs once in its minute.
  at_program_time 14:29:58
  [ "$(starts)" = 1 ] || fail "the 14:29 entry ran $(starts) times in its minute"
  # The box still waits for "OK", and the launches go on meanwhile.
  check "the 14:30 entry ran while the box was open" eventually 10 started_times 2
  box_says "$expected" || fail "the box went, or another came: $(drv box-text Marlinet | cat -v)"
  drv box-ok Marlinet
  heard "2+1bell.wav" || fail "14:30 did not strike from the readable settings"
  stays 3 no_box || fail "the bad line was reported again"
  [ "$(starts)" = 2 ] || fail "the 14:30 entry ran $(($(starts) - 1)) times in its minute"
}

case_launches_do_not_hold_up_the_bells() {
  new_folder
  write_prefs "${all_hours}0001"
  add_waiter
  # Ten entries at 14:30, each with its second's pause: ten seconds of
  # launching, the waiter last.
  { for n in 1 2 3 4 5 6 7 8 9; do printf '[1430][C:\\nowhere\\tool%s.exe]\r\n' $n; done
    printf '[1430][%s]\r\n' "$waiter_entry"; } >"$work/proc.kvr"
  start_time=14:29:59
  start_at $start_time
  at_program_time 14:30:05
  heard "2+1bell.wav" || fail "the 14:30 strike waited for the launches"
  [ "$(starts)" = 0 ] || fail "the launches were done before the strike: not ten seconds of them"
  check "the launches ran to the last" eventually 15 started_times 1
  # launch.log tells what each did: the shell's error for a file that is
  # not there, "opened" for the waiter.
  local log
  log=$(tr -d '\r' <"$work/launch.log")
  [ "$(grep -c '\\tool.\.exe]  none running; not opened: .* (error [0-9]*)$' <<<"$log")" = 9 ] || fail "launch.log: $log"
  [[ "$(tail -1 <<<"$log")" == "$(date +%Y-%m-%d) 14:30:1"?"  [1430][$waiter_entry]  none running; opened" ]] ||
    fail "launch.log's last line: $(tail -1 <<<"$log")"
}

case_escape_in_the_editor_gives_the_bells_back() {
  new_folder
  write_prefs "${all_hours}0001"
  start_time=14:29:25
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  open_editor
  local x y w h
  read -r x y w h < <(drv rect TMarlinetForm "Start Program")
  # Into the list, as a person types there, then Escape.
  xdotool mousemove $((x + w / 2)) $((y + h / 2)) click 1
  sleep 0.5
  xdotool key Escape
  check "Escape closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
  [ $(($(date +%s) - started)) -lt 33 ] || fail "too slow: the editor closed after 14:29:58"
  at_program_time 14:30:06
  heard "2+1bell.wav" || fail "14:30 did not strike after the editor was closed with Escape"
}

case_unreadable_launch_list_is_kept_aside() {
  new_folder
  write_prefs "${all_hours}0001"
  printf '[0700][C:\\Log.exe]\r\n' >"$work/proc.kvr"
  cp "$work/proc.kvr" "$work/proc.before"
  hold_file "$work/proc.kvr"
  start_program
  expect_box "Cannot open file $(winpath "$work")\\proc.kvr."
  release_files
  wait_tray bell 15 || fail "no tray icon"
  open_editor
  drv set-text "Start Program" '[1200][x]'
  drv press "Start Program" OK
  check "OK closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
  cmp -s "$work/proc.kvr.bak" "$work/proc.before" || fail "the unread list is not proc.kvr.bak"
  cmp -s "$work/proc.kvr" <(printf '[1200][x]') || fail "OK wrote '$(cat -A "$work/proc.kvr")'"
}

# --- Faults at each save ------------------------------------------------------

# The program folder on a small file system of its own, which the case can
# fill up or make read-only while the program runs.
mount_folder() {
  new_folder
  mounted=$(mktemp -d /tmp/marlinet-e2e-mnt.XXXXXX)
  mount -t tmpfs -o size=16m tmpfs "$mounted" || fail "cannot mount a small file system"
  cp -r "$work"/. "$mounted"/
  rm -rf "$work"
  work=$mounted
}
fault() {  # fault full|read-only|none
  case $1 in
    full) dd if=/dev/zero of="$work/filler" bs=64k 2>/dev/null; : ;;
    read-only) mount -o remount,ro "$work" ;;
    none) mount -o remount,rw "$work"; rm -f "$work/filler" ;;
  esac
}
unmount_folder() {
  [ -n "${mounted:-}" ] || return 0
  umount "$mounted" 2>/dev/null || umount -l "$mounted"
  rmdir "$mounted"
  mounted=""
  work=""
}
expect_save_fails() {  # expect_save_fails <file>: its box, dismissed
  expect_box "Cannot create file $(winpath "$work")\\$1."
}

case_faults_at_each_save_lose_nothing() {
  local how
  for how in full read-only; do
    mount_folder
    places_prefs
    printf '[1200][x]\r\n' >"$work/proc.kvr"
    printf '[Form1]\r\nMuteBells1.Checked=FALSE\r\n' >"$work/Marlinet.ini"
    cp "$work/proc.kvr" /tmp/proc.before.$$
    cp "$work/Marlinet.ini" /tmp/ini.before.$$
    start_program
    wait_tray bell 15 || fail "$how: no tray icon"
    fault $how
    # The options window's OK.
    show_options
    drv press Marlinet OK
    expect_save_fails prefs.kvr
    drv visible TMarlinetForm Marlinet || fail "$how: OK hid the window after a failed save"
    # The launch list editor's OK: the editor stays open.
    drv press Marlinet Processes
    check "the editor opens" drv wait TMarlinetForm "Start Program" 5000
    drv press "Start Program" OK
    expect_save_fails proc.kvr
    drv visible TMarlinetForm "Start Program" || fail "$how: the editor closed after a failed save"
    drv press "Start Program" Cancel
    check "Cancel closes the editor" eventually 5 not drv visible TMarlinetForm "Start Program"
    # The clocks window's Reset.
    show_clocks
    drv set-text Clocks "Paris [1]" "Place 1"
    drv press Clocks Reset
    expect_save_fails prefs.kvr
    # Quit keeps the program running.
    choose 1
    expect_save_fails prefs.kvr
    stays 1 running || fail "$how: the program ended after a failed save"
    cmp -s "$work/prefs.kvr" "$work/prefs.before" || fail "$how: prefs.kvr changed"
    cmp -s "$work/proc.kvr" /tmp/proc.before.$$ || fail "$how: proc.kvr changed"
    # Room again: one Quit writes everything, the clocks window's box too.
    fault none
    choose 1
    check "$how: Quit ends the program once it can write" wait_exit 10
    [ "$(sed -n 2p "$work/prefs.kvr" | tr -d '\r')" = "Paris [1]" ] || fail "$how: the new place was not saved"
    [ "$(ini_value MuteBells1.Checked)" = FALSE ] || fail "$how: the form state was not saved"
    rm -f /tmp/proc.before.$$ /tmp/ini.before.$$
    unmount_folder
  done
  # The form state at exit, on a full disk: reported, and the program ends.
  mount_folder
  write_prefs "${all_hours}0001"
  printf '[Form1]\r\nMuteBells1.Checked=FALSE\r\n' >"$work/Marlinet.ini"
  cp "$work/Marlinet.ini" "$work/ini.before"
  start_program
  wait_tray bell 15 || fail "no tray icon"
  tray_click 1
  check "a left click mutes" wait_tray muted 5
  fault full
  drv quit-all
  expect_box "Unable to write to $(winpath "$work")\\Marlinet.ini."
  check "the program still ends" wait_exit 10
  cmp -s "$work/Marlinet.ini" "$work/ini.before" || fail "a half-written Marlinet.ini"
  unmount_folder
}

# --- The package -----------------------------------------------------------------

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
  cmp -s "$kept/prefs.kvr" "$outer/kept.before" || fail "the move replaced the prefs.kvr of the new folder"
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

# --- Bells, heard -------------------------------------------------------------
# The program runs with its wall clock moved to a chosen time of day and its
# sound going to a file (ALSA's file plugin over the null device), so what it
# plays can be compared byte for byte with the recordings.

start_at() {  # start_at HH:MM:SS [VAR=value...]: the program sees that local time now
  local now target
  export TZ=UTC
  now=$(date +%s)
  target=$(date -d "today $1" +%s)
  cat >"$work/alsa.conf" <<ALSA
pcm.!default {
  type file
  slave.pcm "null"
  file "|cat >> $work/capture.raw"
  format "raw"
}
ALSA
  : >"$work/capture.raw"
  start_program env MARLINET_TIME_OFFSET=$((target - now)) \
    LD_PRELOAD="$E2E_TIMESHIFT/\$LIB/timeshift.so" \
    ALSA_CONFIG_PATH="/usr/share/alsa/alsa.conf:$work/alsa.conf" "${@:2}"
  started=$(date +%s)
}
at_program_time() {  # sleeps until the program's clock reads $1 (after start_at)
  local wait
  wait=$(program_seconds_until "$1")
  [ "$wait" -gt 0 ] && sleep "$wait"
}
recording() { tail -c +45 "$work/$1"; }  # the samples of a recording
heard() {  # heard <recording...>: exactly those, in that order, were played
  local expected
  expected=$(mktemp)
  for r in "$@"; do recording "$r" >>"$expected"; done
  local t=100
  while [ "$(stat -c %s "$work/capture.raw")" -lt "$(stat -c %s "$expected")" ] && [ $t -gt 0 ]; do
    sleep 0.1
    t=$((t - 1))
  done
  cmp -s "$expected" "$work/capture.raw"
  local same=$?
  rm -f "$expected"
  return $same
}
heard_nothing() { [ "$(stat -c %s "$work/capture.raw")" = 0 ]; }

write_prefs() {  # write_prefs <flags line>
  { printf '%s\r\n' "$1"; for _ in $(seq 24); do printf '\r\n'; done; } >"$work/prefs.kvr"
}
all_hours="$(printf '1%.0s' {1..24})"

case_half_hour_strikes_once_with_the_small_set() {
  new_folder
  write_prefs "${all_hours}0001"
  start_time=14:29:52
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  heard_nothing || fail "something played before the half hour"
  at_program_time 14:30:04
  heard "2+1bell.wav" || fail "14:30 did not strike five bells of the small set"
  at_program_time 14:30:12
  heard "2+1bell.wav" || fail "14:30 struck more than once"
}

# London's clocks go back at 02:00 BST on 25 October 2026, to 01:00 GMT: the
# hour from 01:00 comes twice. The program runs in that zone, and its clock
# is stepped from a few seconds before each moment that matters to the next;
# the change itself comes in real time.
case_the_autumn_change_strikes_both_hours_and_launches_once() {
  new_folder
  write_prefs "${all_hours}0001"
  add_waiter
  printf '[0115][%s]\r\n' "$waiter_entry" >"$work/proc.kvr"
  local offsets="$work/offset"
  utc_in() {  # utc_in <UTC time on 24 or 25 October 2026>: the program's clock steps there
    echo $(($(date -u -d "$1" +%s) - $(date +%s))) >"$offsets"
    sleep 0.3
  }
  # However its clock is stepped, the program never strikes twice within a
  # minute of real time: each step to a strike waits for that minute to pass.
  local struck=0
  a_minute_after_the_last_strike() {
    local wait=$((struck + 61 - $(date +%s)))
    [ $wait -gt 0 ] && sleep $wait
  }
  strikes() { struck=$(date +%s); }
  utc_in "2026-10-24 23:59:53"  # 00:59:53 BST
  start_at 00:00:00 TZ=Europe/London MARLINET_TIME_OFFSET_FILE="$offsets"
  wait_tray bell 15 || fail "no tray icon"
  check "01:00 BST struck" eventually 15 heard 1bell.wav
  strikes
  utc_in "2026-10-25 00:14:55"
  check "the 01:15 entry opened in BST" eventually 15 started_times 1
  a_minute_after_the_last_strike
  utc_in "2026-10-25 00:29:55"
  check "01:30 BST struck" eventually 15 heard 1bell.wav 1+1bell.wav
  strikes
  # Across the change itself, without a step: 01:59:5x BST, then 01:00 GMT.
  a_minute_after_the_last_strike
  utc_in "2026-10-25 00:59:52"
  check "01:00 GMT struck again" eventually 20 heard 1bell.wav 1+1bell.wav 1bell.wav
  strikes
  utc_in "2026-10-25 01:14:55"
  stays 8 started_times 1
  [ "$(starts)" = 1 ] || fail "the 01:15 entry opened again in GMT"
  a_minute_after_the_last_strike
  utc_in "2026-10-25 01:29:55"
  check "01:30 GMT struck again" eventually 15 heard 1bell.wav 1+1bell.wav 1bell.wav 1+1bell.wav
  strikes
  a_minute_after_the_last_strike
  utc_in "2026-10-25 01:59:55"
  check "02:00 GMT struck once" eventually 15 \
    heard 1bell.wav 1+1bell.wav 1bell.wav 1+1bell.wav 2bell.wav
  stays 4 heard 1bell.wav 1+1bell.wav 1bell.wav 1+1bell.wav 2bell.wav
  [ "$(grep -c '\[0115\]' "$work/launch.log")" = 1 ] ||
    fail "launch.log does not show the 01:15 entry once: $(cat "$work/launch.log")"
}

# Entries for Wednesdays, for Saturdays, and one whose days cannot be read,
# on Wednesday 9 and Saturday 12 December 2026. The clock steps three days
# less a minute between the two, keeping its seconds, so that the launch
# tick aimed at the next minute still comes at a minute's start. No hour
# strikes: a strike holds up the thread that writes the log.
case_launches_keep_to_their_days_of_the_week() {
  new_folder
  write_prefs "$(printf '0%.0s' {1..24})0001"
  add_waiter
  printf '[0930][%s]|Mon-Fir\r\n[0930][%s]|Wed\r\n[0930][%s] | sat\r\n' \
    "$waiter_entry" "$waiter_entry" "$waiter_entry" >"$work/proc.kvr"
  local offsets="$work/offset" offset
  offset=$(($(date -u -d "2026-12-09 09:29:50" +%s) - $(date +%s)))
  echo $offset >"$offsets"
  program_now() { date -u -d "@$(($(date +%s) + offset))" '+%F %T'; }
  log_has() { [ "$(tr -d '\r' 2>/dev/null <"$work/launch.log" | grep -c "$1")" = "$2" ]; }
  logged() {  # logged <date> <entry pattern> <what it says> <description>
    eventually 40 log_has "^$1 09:30:[0-9]*  \[0930\]\[.*\]$2  $3\$" 1 ||
      fail "launch.log does not show $4 by $(program_now): $(cat "$work/launch.log" 2>&1)"
  }
  local unread='not run: its days "Mon-Fir" could not be read'
  start_at 00:00:00 MARLINET_TIME_OFFSET_FILE="$offsets"
  wait_tray bell 15 || fail "no tray icon"
  logged 2026-12-09 '|Mon-Fir' "$unread" "the unreadable days on Wednesday"
  check "the Wednesday entry opened on Wednesday" eventually 5 started_times 1
  logged 2026-12-09 '|Wed' 'Wednesday, one of its days (Wed); .*; opened' "Wednesday's run"
  # Ten seconds before Saturday's 09:30, the seconds kept.
  while [[ "$(program_now)" < "2026-12-09 09:30:50" ]]; do sleep 0.2; done
  offset=$((offset + 3 * 86400 - 60))
  echo $offset >"$offsets"
  logged 2026-12-12 '|Mon-Fir' "$unread" "the unreadable days on Saturday"
  check "the Saturday entry opened on Saturday" eventually 5 started_times 2
  logged 2026-12-12 ' | sat' 'Saturday, one of its days (Sat); .*; opened' "Saturday's run"
  stays 3 started_times 2
  [ "$(starts)" = 2 ] || fail "started $(starts) times, not once on each day"
  # The step passed over Friday's 09:30: of the three, only the entry whose
  # days cannot be read is told of it, as the step happens.
  log_has "^2026-12-12 09:29:[0-9]*  \[0930\]\[.*\]|Mon-Fir  $unread\$" 1 ||
    fail "launch.log does not tell the unreadable days of the Friday passed over"
  [ "$(tr -d '\r' <"$work/launch.log" | wc -l)" = 5 ] ||
    fail "launch.log has other lines: $(cat "$work/launch.log")"
  no_box || fail "a box came up: $(drv box-text Marlinet)"
  running || fail "the program ended"
  mkdir -p "$E2E_ARTEFACTS" && cp "$work/launch.log" "$E2E_ARTEFACTS/launch-days.log"
}

timed_sound() {  # a private sound server, timed, for the programs started after it
  start_sound_clock "$(mktemp -d /tmp/marlinet-sound.XXXXXX)" "$E2E_SOUND_CLOCK" ||
    fail "the sound server did not start"
}

# A setup's quit request that comes while eight bells ring: the copy reads no
# messages until they end (played in real time by a sound server here), yet
# the request waits for it and then ends it.
case_a_quit_request_waits_out_a_strike() {
  timed_sound
  new_folder
  write_prefs "${all_hours}0001"
  start_time=15:59:56
  start_at $start_time $(sound_clock_env)
  wait_tray bell 15 || fail "no tray icon"
  at_program_time 16:00:00
  sleep 0.5
  local t0 took answer
  t0=$(date +%s%3N)
  wine "$work/Marlinet.exe" /quit >/dev/null 2>&1
  answer=$?
  took=$(($(date +%s%3N) - t0))
  [ "$(sound_onsets | wc -l)" -ge 1 ] || fail "16:00 struck nothing"
  [ "$answer" = 0 ] || fail "the quit request during the strike answered $answer after $took ms"
  # Eight bells of the small set ring for 8 s.
  [ "$took" -ge 4000 ] || fail "the quit came after $took ms, inside the strike"
  check "the copy has ended" wait_exit 5
  [ -f "$work/Marlinet.ini" ] || fail "the quit did not save the form state"
}

# --- On the mark, heard -------------------------------------------------------
# A private sound server writes what the program plays, silence included, to a
# pipe in real time; each sound's start is timed there on the wall clock and
# set against the program's own clock (scripts/latency.sh).

in_budget() {  # in_budget <most ms> <what> <ms...>: each at or after the mark, none later than that
  local most=$1 what=$2 n=0 l
  shift 2
  for l in "$@"; do
    n=$((n + 1))
    [ "$l" -ge 0 ] && [ "$l" -le "$most" ] || fail "$what $n came $l ms after its mark (all: $*)"
  done
  [ $n -gt 0 ] || fail "no $what was timed"
}

case_strikes_start_on_the_mark() {
  timed_sound
  local delays late
  delays=$(sound_path_delays 1 | tr '\n' ' ')
  # A tick every 3 s would meet the budget by chance about once in six
  # strikes: three in a row would pass once in two hundred.
  late=$(strike_latencies "$E2E_PROGRAM" 3 | tr '\n' ' ')
  echo "sound path ${delays}ms; strikes heard after the mark: ${late}ms"
  [ "$(wc -w <<<"$late")" = 3 ] || fail "heard $(wc -w <<<"$late") of 3 strikes"
  # The recordings' own 150 ms lead-in and the sound path included. Wine's
  # sound path alone, a process's first sound, was measured at 40 to 190 ms
  # with single spikes of 300 to 975 ms on a loaded machine: one strike of
  # the three may come up to a second late. A 3-second tick would pass this
  # about once in two hundred and fifty times.
  in_budget 1000 strike $late
  local slow=0 l
  for l in $late; do [ "$l" -gt 500 ] && slow=$((slow + 1)); done
  [ $slow -le 1 ] || fail "$slow of 3 strikes came more than 500 ms after the mark: $late"
}

case_launches_open_in_their_minutes_first_seconds() {
  timed_sound
  # At 14:30 the bells strike too, for seconds: the entry must not wait for
  # them. A tick once a minute from start would meet the budget by chance
  # about once in sixty.
  local late
  late=$(launch_latencies "$E2E_PROGRAM" 2 | tr '\n' ' ')
  echo "entries started after their minute began: ${late}ms"
  [ "$(wc -w <<<"$late")" = 2 ] || fail "started $(wc -w <<<"$late") of 2 entries"
  # The one-second pause before an open included.
  in_budget 1500 launch $late
}

case_mute_silences_the_bells_at_once() {
  new_folder
  write_prefs "${all_hours}0001"
  start_time=14:29:40
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  tray_click 1
  check "a left click mutes" wait_tray muted 5
  at_program_time 14:30:07
  heard_nothing || fail "a muted program struck the half hour ($(stat -c %s "$work/capture.raw") bytes)"
  tray_click 1
  check "a left click unmutes" wait_tray bell 5
  # Still within 14:30, and the silenced ticks set no latch: it strikes now.
  heard "2+1bell.wav" || fail "unmuting within the minute did not strike"
}

case_muted_restart_stays_silent() {
  # No settings file: the start's error box waits while the half hour passes.
  new_folder
  printf '[Form1]\r\nMuteBells1.Checked=TRUE\r\n' >"$work/Marlinet.ini"
  start_time=14:29:55
  start_at $start_time
  check "the missing settings file is reported" drv wait "#32770" Marlinet 15000
  check "the start comes up muted behind the box" wait_tray muted 5
  at_program_time 14:30:08
  box_up || fail "the error box went by itself"
  heard_nothing || fail "a program started muted struck the half hour"
  drv box-ok Marlinet
  check "the box goes" eventually 5 no_box
  choose 2
  heard "2bell.wav" || fail "Test Bells did not play the four-bell file while muted"
}

# --- Bell options -------------------------------------------------------------------
# The tray menu's "Bell Options" and its "Volume" submenu, reached with the
# pointer as a person reaches them. Wine's menu trace in $program_log says
# where each item is laid out; the menu each one is in is the one that
# opened last (a submenu of the tray menu opens to its left, so it is told
# by its arrival, not its place).
menu_now=""
tray_menu_open() {
  : >"$program_log"
  open_menu
  eventually 5 menus_open 1 || fail "the tray menu did not open"
  menu_now=$(drv menus)
}
into_menu_item() {  # into_menu_item <text>: the pointer on it; its submenu opens
  local before left top rows
  before=$(drv menus | sort)
  eventually 5 item_laid_out "$1" || fail "no menu item '$1' was laid out"
  read -r left top _ <<<"$menu_now"
  read -r rows < <(menu_item_rows "$1")
  set -- $rows
  xdotool mousemove $((left + 30)) $((top + 3 + ($1 + $2) / 2))
  local t=50
  while [ $t -gt 0 ]; do
    menu_now=$(comm -13 <(echo "$before") <(drv menus | sort) | head -1)
    [ -n "$menu_now" ] && return 0
    sleep 0.1
    t=$((t - 1))
  done
  fail "no submenu opened from '$1'"
}
click_menu_item() {  # click_menu_item <text>: a real click on it, in the menu opened last
  local left top rows
  eventually 5 item_laid_out "$1" || fail "no menu item '$1' was laid out"
  read -r left top _ <<<"$menu_now"
  read -r rows < <(menu_item_rows "$1")
  set -- $rows
  xdotool mousemove $((left + 30)) $((top + 3 + ($1 + $2) / 2))
  sleep 0.3
  xdotool click 1
  sleep 0.3
}
sound_begins() {  # sound_begins <seconds>: something is captured within them
  local t=$(($1 * 10))
  while [ ! -s "$work/capture.raw" ] && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
  [ -s "$work/capture.raw" ] || fail "nothing was struck within $1 seconds"
}
peak() {  # the largest sample, of 16-bit samples on stdin
  python3 -c 'import array, sys
d = sys.stdin.buffer.read()
a = array.array("h")
a.frombytes(d[: len(d) // 2 * 2])
print(max((abs(x) for x in a), default=0))'
}

# "Half" from the menu: the half hour's five bells come at half the
# recording's peak. The recording's own samples are what Full plays (the
# first case of this section hears them byte for byte).
case_half_volume_strikes_at_half_the_peak() {
  new_folder
  write_prefs "${all_hours}0001"
  program_log=$work/program.log
  start_time=14:29:35
  start_at $start_time WINEDEBUG=+menu
  wait_tray bell 15 || fail "no tray icon"
  tray_menu_open
  into_menu_item "Bell Options"
  into_menu_item "Volume"
  click_menu_item 'Half"'
  check "the choice is kept at once" eventually 3 [ "$(ini_value BellVolume)" = 50 ]
  [ "$(program_seconds_until 14:30:00)" -gt 0 ] || fail "the choice came after 14:30"
  at_program_time 14:30:04
  local size t=100
  size=$(recording 2+1bell.wav | wc -c)
  while [ "$(stat -c %s "$work/capture.raw")" -lt "$size" ] && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
  stays 2 [ "$(stat -c %s "$work/capture.raw")" = "$size" ] ||
    fail "14:30 did not strike the five bells once: $(stat -c %s "$work/capture.raw") bytes of $size"
  local full half
  full=$(recording 2+1bell.wav | peak)
  half=$(peak <"$work/capture.raw")
  echo "peak at Full $full, at Half $half"
  [ $((half * 100)) -ge $((full * 45)) ] && [ $((half * 100)) -le $((full * 55)) ] ||
    fail "the strike's peak at Half is $half, Full's is $full"
}

# Midnight between 31 December and 1 January: eight bells for the old year
# and eight for the new with "Sixteen Bells at New Year" ticked; eight alone
# without.
case_sixteen_bells_at_new_year() {
  new_folder
  write_prefs "${all_hours}0001"
  program_log=$work/program.log
  local offsets=$work/clock-offset
  echo $(($(date -ud "2026-12-31 23:59:30" +%s) - $(date +%s))) >"$offsets"
  start_at 00:00:00 WINEDEBUG=+menu MARLINET_TIME_OFFSET_FILE="$offsets"
  wait_tray bell 15 || fail "no tray icon"
  tray_menu_open
  into_menu_item "Bell Options"
  click_menu_item "Sixteen Bells at New Year"
  check "the choice is kept at once" eventually 3 [ "$(ini_value SixteenBellsAtNewYear)" = 1 ]
  heard_nothing || fail "something played before midnight"
  sound_begins 40
  check "New Year's midnight strikes eight bells twice" heard 4bell.wav 4bell.wav
  stays 3 heard 4bell.wav 4bell.wav || fail "more than sixteen bells at New Year"
  choose 1
  check "Quit ends the program" wait_exit 10
  # Not ticked: eight bells, as on any midnight.
  sed -i 's/^SixteenBellsAtNewYear=1/SixteenBellsAtNewYear=0/' "$work/Marlinet.ini"
  echo $(($(date -ud "2026-12-31 23:59:50" +%s) - $(date +%s))) >"$offsets"
  start_at 00:00:00 MARLINET_TIME_OFFSET_FILE="$offsets"
  wait_tray bell 15 || fail "no tray icon after the new start"
  sound_begins 20
  check "midnight strikes eight bells" heard 4bell.wav
  stays 4 heard 4bell.wav || fail "sixteen bells with the option not ticked"
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

case_large_set_and_early_ring_from_the_settings_file() {
  new_folder
  write_prefs "${all_hours}1011"
  start_time=14:59:50
  start_at $start_time
  wait_tray bell 15 || fail "no tray icon"
  # Loading the file selects "Large Bells", which plays its sample; early
  # ring then strikes 15:00's six bells at 14:59, from the large set.
  at_program_time 14:59:59
  heard "0+1Lbell.wav" "3Lbell.wav" || fail "expected the large sample, then 14:59's early strike"
  at_program_time 15:00:06
  heard "0+1Lbell.wav" "3Lbell.wav" || fail "15:00 struck again after the early ring"
}

# --- Any folder, boxes in sight --------------------------------------------------

case_cyrillic_program_folder() {
  # A folder whose letters the ANSI code page lacks: the program's own files
  # must still be found there, and its boxes show "?" for those letters.
  outer=$(mktemp -d /tmp/marlinet-e2e.XXXXXX)
  work="$outer/Склянки"
  mkdir "$work"
  cp -r "$E2E_PROGRAM"/. "$work"/
  start_time=14:29:42
  start_at $start_time
  local shown file
  shown=$(winpath "$work" | perl -CS -pe 's/\p{Cyrillic}/?/g')
  [[ "$shown" == *'\???????' ]] || fail "the folder is not named as expected: $shown"
  for file in prefs.kvr proc.kvr; do
    eventually 15 box_says "Cannot open file $shown\\$file." ||
      fail "no box for $file; the box says '$(drv box-text Marlinet)'"
    drv box-ok Marlinet
  done
  check "the boxes go" eventually 5 no_box
  wait_tray bell 5 || fail "no tray icon"
  at_program_time 14:30:06
  heard "2+1bell.wav" || fail "14:30 did not strike five bells from the folder's recordings"
  choose 1
  check "Quit ends the program" wait_exit 10
  [ "$(tr -d '\r' <"$work/prefs.kvr" | wc -l)" = 25 ] || fail "prefs.kvr not written in the folder"
  [ "$(tr -d '\r' <"$work/Marlinet.ini" | grep -c '\.Checked=')" = 34 ] ||
    fail "Marlinet.ini not written in the folder"
  [ -z "$(find "$outer" -name '*.tmp')" ] || fail "a working copy was left behind"
}

case_a_box_raised_by_a_tick_comes_to_the_front() {
  # The launch tick's report of a bad line, raised a second after a start
  # that shows no window, while another program is in front.
  new_folder
  write_prefs "${all_hours}0001"
  printf '[930][C:\\x.exe]\r\n' >"$work/proc.kvr"
  start_other_program
  start_program
  eventually 15 box_says "'930]' is not a valid integer value." || fail "the launch tick raised no report"
  check "the report is the foreground window" eventually 3 \
    test "$(drv foreground)" = "#32770|Marlinet"
  drv box-ok Marlinet
}

name=${1:?case}
mkdir -p "$E2E_ARTEFACTS"
"case_$name"
echo "PASS: $name"
