# Sourced by bench.sh, or run by itself:
#   bash scripts/latency.sh <program folder> [times] [path strike launch]
# How late the bells and the launches come after their mark, under Wine,
# timed on the wall clock: the sound path's own delay (driver play: the call
# to the first sound out of the server's pipe, less the recording's own
# silent lead-in), then each strike (the first sound out of the pipe after
# hh:30:00 on the program's clock) and each launch (the moment an entry's
# program notes its start, after its minute began). The program's clock is
# moved by a whole number of seconds once per process, so every strike and
# every launch is a start of its own, a few seconds before the mark.
# Needs a running Wine session, the windows build, `drv` and `winpath`.
here_latency=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here_latency/sound-clock.sh"
latency_root=$(cd "$here_latency/.." && pwd)
latency_tools=$latency_root/build/windows
# The end-to-end tests name their own builds of the helpers.
latency_shift=${E2E_TIMESHIFT:-$latency_tools/host-tools/timeshift}
latency_driver=${E2E_DRIVER:-$latency_tools/tests/e2e/driver.exe}
latency_waiter=${E2E_WAITER:-$latency_tools/tests/win/waiter.exe}
latency_sound_clock=${E2E_SOUND_CLOCK:-$latency_tools/host-tools/sound_clock}
all_hours_flags="$(printf '1%.0s' {1..24})0001"

latency_folder() {  # latency_folder <program folder> <dir>: a fresh copy to run
  rm -rf "$2"
  mkdir -p "$2"
  cp -r "$1"/. "$2"/
  { printf '%s\r\n' "$all_hours_flags"; for _ in $(seq 24); do printf '\r\n'; done; } >"$2/prefs.kvr"
  : >"$2/proc.kvr"
}
# Starts the program in <dir> with its clock at today's <HH:MM:SS> (UTC):
# its pid in latency_pid, its clock's lead on this one in latency_offset (s).
latency_pid=""
latency_offset=0
latency_start() {
  local now target
  now=$(date +%s)
  target=$(TZ=UTC date -d "today $2" +%s)
  latency_offset=$((target - now))
  env TZ=UTC MARLINET_TIME_OFFSET=$latency_offset LD_PRELOAD="$latency_shift/\$LIB/timeshift.so" \
    $(sound_clock_env) wine "$1/Marlinet.exe" >/dev/null 2>&1 &
  latency_pid=$!
}
latency_stop() {  # latency_stop <dir>: the program and what it opened from <dir> end
  drv quit-all
  local t=100
  while kill -0 "$latency_pid" 2>/dev/null && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
  kill "$latency_pid" 2>/dev/null
  wait "$latency_pid" 2>/dev/null
  local opened
  for opened in $(pgrep -f "$1/waiter\.exe"); do kill "$opened" 2>/dev/null; done
  return 0
}
mark_ms() { echo $(($(TZ=UTC date -d "today $1" +%s) * 1000)); }

# sound_path_delays <n>: ms from the play call to the first sound, lead-in taken off.
sound_path_delays() {
  local wav lead i n0 called onset
  wav=${E2E_PROGRAM:-$latency_tools/Marlinet}/0+1bell.wav
  lead=$(lead_in_ms "$wav")
  for i in $(seq 1 "$1"); do
    n0=$(sound_onsets | wc -l)
    called=$(env $(sound_clock_env) wine "$latency_driver" play "$(winpath "$wav")" 2>/dev/null | tr -d '\r')
    sleep 0.5
    onset=$(sound_onsets | sed -n "$((n0 + 1))p")
    [ -n "$onset" ] && [ -n "$called" ] && echo $((onset - called - lead))
  done
  return 0
}

# strike_latencies <program folder> <n>: ms from hh:30:00 to the first sound heard.
strike_latencies() {
  local dir=/tmp/marlinet-latency.$$ i n0 t onset
  for i in $(seq 1 "$2"); do
    latency_folder "$1" "$dir"
    n0=$(sound_onsets | wc -l)
    # A start second that moves the 3-second tick's phase against the mark.
    latency_start "$dir" "14:29:5$((1 + i % 3))"
    t=200
    while [ "$(sound_onsets | wc -l)" -le "$n0" ] && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
    onset=$(sound_onsets | sed -n "$((n0 + 1))p")
    [ -n "$onset" ] && echo $((onset + latency_offset * 1000 - $(mark_ms 14:30:00)))
    sleep 6  # the strike to its end
    latency_stop "$dir"
  done
  rm -rf "$dir" 2>/dev/null || { sleep 2; rm -rf "$dir"; }
  return 0
}

# launch_latencies <program folder> <n>: ms from hh:30:00 to the entry's program starting.
launch_latencies() {
  local dir=/tmp/marlinet-latency.$$ i t started
  for i in $(seq 1 "$2"); do
    latency_folder "$1" "$dir"
    cp "$latency_waiter" "$dir/"
    printf '[1430][%s\\waiter.exe]\r\n' "$(winpath "$dir")" >"$dir/proc.kvr"
    # A start second spread over the minute, as a user's start would be.
    latency_start "$dir" "14:29:$(printf %02d $((5 + (i * 37) % 53)))"
    t=1000
    while [ ! -s "$dir/waiter.exe.log" ] && [ $t -gt 0 ]; do sleep 0.1; t=$((t - 1)); done
    started=$(tr -d '\r' <"$dir/waiter.exe.log" 2>/dev/null | awk 'NR == 1 { print $3 }')
    [ -n "$started" ] && echo $((started - $(mark_ms 14:30:00)))
    latency_stop "$dir"
  done
  rm -rf "$dir" 2>/dev/null || { sleep 2; rm -rf "$dir"; }
  return 0
}

latency_summary() {  # median and largest of the numbers on standard input
  sort -n | awk '{ v[NR] = $1 } END { if (NR == 0) { print "- -"; exit }
    m = NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2; print m, v[NR] }'
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  set -uo pipefail
  program=$(cd "${1:?program folder}" && pwd)
  times=${2:-5}
  cd "$latency_root"
  export WINEDEBUG=-all
  drv() { wine "$latency_driver" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
  winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
  source scripts/wine-session.sh
  start_wine_session
  trap 'stop_sound_clock; stop_wine_session' EXIT
  start_sound_clock /tmp/marlinet-sound.$$ "$latency_sound_clock" || exit 1
  parts=${3:-path strike launch}
  if [[ $parts == *path* ]]; then
    echo "sound path (ms):"
    sound_path_delays "$times"
  fi
  if [[ $parts == *strike* ]]; then
    echo "strike (ms):"
    strike_latencies "$program" "$times"
  fi
  if [[ $parts == *launch* ]]; then
    echo "launch (ms):"
    launch_latencies "$program" "$times"
  fi
fi
