# The program on a clock of the case's choosing (tools/timeshift.c).

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

program_seconds_until() {  # program_seconds_until HH:MM:SS (after start_at)
  echo $(($(date -d "today $1" +%s) - $(date -d "today $start_time" +%s) - ($(date +%s) - started)))
}
