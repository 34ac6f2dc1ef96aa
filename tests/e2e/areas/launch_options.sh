# The launch options of the tray menu.

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
