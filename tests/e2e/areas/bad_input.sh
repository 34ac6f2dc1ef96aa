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
