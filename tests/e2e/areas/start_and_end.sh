# Start and end: the first run, quitting, the settings and form state kept,
# one copy per folder, the tray icon through log-off and a shell restart.

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
