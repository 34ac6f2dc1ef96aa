# The bells' options of the tray menu, reached with the pointer.

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
