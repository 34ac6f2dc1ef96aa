# The launcher: the launch list, its editor and its entries run at their minute.

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
