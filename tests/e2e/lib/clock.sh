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

# The running count moved with the wall clock. A case whose program runs with
# MARLINET_SHIFT_RUNNING=1 and MARLINET_TIME_OFFSET_FILE=<file> steps its clock
# with step_clock: a step forward passes on the running count that Wine's
# server keeps (GetTickCount, QueryUnbiasedInterruptTime, timers) and the
# program's own monotonic clocks, as if that time had gone by; a step back
# leaves the count. The count is the session's (its server runs under the
# clock shifter) and only grows. Cases that time real latency do not ask.
step_clock() {  # step_clock <offset file> <seconds ahead of this computer's clock>
  local file=$1 ahead=$2 before running
  [ -n "${MARLINET_RUNNING_FILE:-}" ] || fail "the Wine session keeps no running count to move"
  read -r _ running <"$MARLINET_RUNNING_FILE"
  read -r before _ <"$file" 2>/dev/null || before=$ahead
  [ "$ahead" -gt "$before" ] && running=$((running + ahead - before))
  # Whole files, renamed into place: the readers never see one half written.
  # The server's count first, and the program's once the server has read it
  # (each reads every 200 ms): a wait the program asks for never ends later
  # than it should, at most earlier, as if the step had come a moment sooner.
  echo "0 $running" >"$MARLINET_RUNNING_FILE.new" && mv "$MARLINET_RUNNING_FILE.new" "$MARLINET_RUNNING_FILE"
  [ "$ahead" -gt "$before" ] && sleep 0.3
  echo "$ahead $running" >"$file.new" && mv "$file.new" "$file"
}
running_seconds() {  # the session's running count, in seconds of this computer's clock
  local running
  read -r _ running <"$MARLINET_RUNNING_FILE"
  echo $(($(date +%s) + running))
}
# Wine's processes time their waits on their own monotonic clock and the
# server on its own, so once the session's running count has moved, a
# program started without the shifter would find every wait over at once.
# After a case that moved it, the session's server starts afresh, its count
# back at none (every program of the session ends with it).
reset_running_count() {
  local running=0
  [ -n "${MARLINET_RUNNING_FILE:-}" ] && read -r _ running <"$MARLINET_RUNNING_FILE"
  [ "${running:-0}" = 0 ] && return 0
  wineserver -k
  wineserver -w
  echo "0 0" >"$MARLINET_RUNNING_FILE"
  wineserver -p >/dev/null 2>&1 </dev/null
  wine wineboot >/dev/null 2>&1 </dev/null
}

