# The clocks window, its places, their time zones and ship's time.

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
