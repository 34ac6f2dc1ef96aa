# The helpers every case shares: the program folder, the tray icon and its
# menu, windows found by the driver, and waiting for something to hold.
# Sourced by e2e.sh.

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
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/latency.sh"
source "$(dirname "${BASH_SOURCE[0]}")/../../../scripts/shell-link.sh"

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
  drv end-named waiter.exe
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
  reset_running_count
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

write_prefs() {  # write_prefs <flags line>
  { printf '%s\r\n' "$1"; for _ in $(seq 24); do printf '\r\n'; done; } >"$work/prefs.kvr"
}
all_hours="$(printf '1%.0s' {1..24})"
