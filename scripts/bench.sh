#!/usr/bin/env bash
# Marlinet beside the lightest program that waits as it does
# (bench/baseline_win.cpp), under Wine in a private X display, the two started
# in turn, several times each:
#   - start to icon: from process creation until the shell shows one more
#     notification icon;
#   - idle CPU: the process's CPU time over BENCH_IDLE seconds with the clocks
#     window hidden, then shown (the baseline then shows a window of the same
#     size with the same 26 panels, their texts set once a minute), and the
#     Wine server's CPU time meanwhile;
#   - memory: the peak resident size over the run, and after the hidden idle
#     run the resident size and its anonymous part (the process's own heap
#     and stacks, without the mapped program and libraries);
# and natively, the instructions one tick of each timer costs in the core
# (callgrind); then, with a private sound server timing what is played on the
# wall clock (scripts/latency.sh), the sound path's own delay, how long after
# the half hour a strike is heard and how long after its minute began an
# entry's program starts (BENCH_STRIKES of each, median and largest). Marlinet runs with 24 places and 50 launch entries, none due,
# and every idle run keeps clear of the minutes in which bells strike.
# Medians; ratios are Marlinet / baseline. One table, printed and written to
# build/bench/resources.md.
#
#   BENCH_ROUNDS=3 BENCH_IDLE=120 bash scripts/bench.sh
#   BENCH_PROGRAM=<folder>   measure the Marlinet.exe of another build's
#                            program folder (default build/windows/Marlinet)
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cd "$here/.."
rounds=${BENCH_ROUNDS:-3}
strikes=${BENCH_STRIKES:-5}
idle=${BENCH_IDLE:-120}
program=${BENCH_PROGRAM:-build/windows/Marlinet}
settle=10
bash scripts/setup.sh valgrind
source scripts/callgrind.sh
source scripts/latency.sh

echo "== builds"
cmake --preset windows >/dev/null
cmake --build --preset windows --target marlinet baseline driver waiter timeshift sound_clock >/dev/null
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build build/bench --target tick_bench >/dev/null

out=build/bench/resources.md
mkdir -p build/bench
driver=$PWD/build/windows/tests/e2e/driver.exe
export WINEDEBUG=-all
drv() { wine "$driver" "$@" 2>/dev/null | tr -d '\r'; return "${PIPESTATUS[0]}"; }
winpath() { winepath -w "$1" 2>/dev/null | tr -d '\r'; }
fail() {
  echo "bench: $*" >&2
  exit 1
}

# The program folders: Marlinet with 24 places and 50 launch entries twelve
# hours away, and the baseline.
work=$(mktemp -d /tmp/marlinet-bench.XXXXXX)
template=$work/template
mkdir -p "$template"
cp -r "$program"/. "$template"/
cp build/windows/baseline.exe "$template"/
offsets=(-11 -9 -7 -5 -3.5 -2 0 1 2 3 4 4.5 5 5.5 5.75 6 7 8 9 9.5 10 11 12 -1)
{
  head -n 1 package/prefs.kvr | tr -d '\r\n'
  printf '\r\n'
  for n in $(seq 1 24); do printf 'Place %02d   [%s]\r\n' "$n" "${offsets[n - 1]}"; done
} >"$template/prefs.kvr"
away=$(((10#$(date +%H) + 12) % 24))
for n in $(seq 0 49); do
  printf '[%02d%02d][C:\\Tools\\Tool%02d.exe]\r\n' "$away" "$n" "$n"
done >"$template/proc.kvr"

source scripts/wine-session.sh
# Its Wine server as it comes, without the clock shifter the tests give it.
start_wine_session plain
holder=""
finish() {
  [ -n "$holder" ] && kill "$holder" 2>/dev/null
  stop_sound_clock
  stop_wine_session
  rm -rf "$work"
}
trap finish EXIT
# A process that outlives every run keeps the Wine desktop and its
# notification area up, so no run pays for starting them.
: >"$work/keep"
wine "$driver" hold "$(winpath "$work/keep")" 100000 >/dev/null 2>&1 &
holder=$!
drv wait Shell_TrayWnd "" 20000 || true
sleep 2

start_to_icon() {  # milliseconds; the program keeps the driver's output open, so a file takes it
  wine "$driver" start-to-icon "$(winpath "$1")" >"$work/started" 2>"$program_log" || return 1
  tr -d '\r' <"$work/started"
}
# The tray menu's items are known only to the program's own process: Marlinet
# runs with Wine's menu trace in $program_log, which says where each item is
# laid out, so "Clocks" is found by its text wherever the menu puts it.
program_log=$work/program.log
source tests/e2e/lib/wait.sh
source tests/e2e/lib/menus.sh
cpu_ns() {  # CPU time of all the process's threads so far, in nanoseconds
  local sum=0 run t
  for t in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$t" 2>/dev/null && sum=$((sum + run))
  done
  echo "$sum"
}
status_kb() { awk -v key="$2:" '$1 == key { print $2 }' /proc/"$1"/status; }
# Waits until the next $1 seconds hold no minute in which a bell may strike
# (29, 30, 59 and 0, early ring included).
keep_clear_of_bells() {
  local into
  while :; do
    into=$(((10#$(date +%M) % 30) * 60 + 10#$(date +%S)))
    [ "$into" -ge 60 ] && [ $((into + $1)) -lt 1740 ] && return 0
    sleep 5
  done
}
session_server() {  # the pid of this session's Wine server, named in its folder by the prefix's device and inode
  local folder p
  folder=$(printf 'server-%x-%x' $(stat -c '%d %i' "$WINEPREFIX"))
  for p in $(pgrep '^wineserver'); do
    [[ "$(readlink "/proc/$p/cwd")" == */"$folder" ]] && { echo "$p"; return 0; }
  done
  fail "no Wine server runs for $WINEPREFIX"
}
idle_ms() {  # idle_ms <pid>: the CPU milliseconds of the process and of the server over one idle run
  local c0 s0 server
  keep_clear_of_bells $((idle + 5))
  server=$(session_server)
  c0=$(cpu_ns "$1")
  s0=$(cpu_ns "$server")
  sleep "$idle"
  echo $((($(cpu_ns "$1") - c0) / 1000000)) $((($(cpu_ns "$server") - s0) / 1000000))
}
wait_gone() {  # wait_gone <pid>: ends within 10 s, or is killed
  local t=100
  while kill -0 "$1" 2>/dev/null && [ $t -gt 0 ]; do
    sleep 0.1
    t=$((t - 1))
  done
  kill "$1" 2>/dev/null || true
}

declare -A m b  # measures of Marlinet and of the baseline, space-separated per key
add() { eval "$1[$2]+=\"$3 \""; }

pid=""
begin_run() {  # begin_run <m|b> <exe>: started in a fresh folder, then the hidden idle run
  local dir=$work/run t cpu server
  rm -rf "$dir"
  cp -r "$template" "$dir"
  t=$(start_to_icon "$dir/$2") || fail "$2 showed no icon"
  add "$1" start "$t"
  pid=$(pgrep -f "run.${2%.exe}\\.exe\$" | head -n 1)
  [ -n "$pid" ] || fail "$2 is not running"
  sleep "$settle"
  read -r cpu server < <(idle_ms "$pid")
  add "$1" hidden "$cpu"
  add "$1" server "$server"
  add "$1" rss "$(status_kb "$pid" VmRSS)"
  add "$1" anon "$(status_kb "$pid" RssAnon)"
}

run_marlinet() {
  local cpu server
  WINEDEBUG=+menu begin_run m Marlinet.exe
  # The clocks window, as a person opens it: "Clocks" clicked in the tray
  # menu; the pointer then rests on the desktop, off every window.
  : >"$program_log"
  xdotool mousemove 1013 758 click 3
  pick_menu_item Clocks
  drv wait TMarlinetForm Clocks 5000 || fail "the clocks window did not open"
  xdotool mousemove 5 5
  sleep 5
  read -r cpu server < <(idle_ms "$pid")
  add m shown "$cpu"
  add m peak "$(status_kb "$pid" VmHWM)"
  drv quit-all
  wait_gone "$pid"
}

run_baseline() {
  local cpu server
  begin_run b baseline.exe
  # Its window of 26 panels, whose texts change once a minute: what the
  # clocks window shows at the least cost.
  drv show MarlinetBaselineClocks Clocks || fail "the baseline's window did not show"
  xdotool mousemove 5 5
  sleep 5
  read -r cpu server < <(idle_ms "$pid")
  add b shown "$cpu"
  add b peak "$(status_kb "$pid" VmHWM)"
  drv close-class MarlinetBaseline
  wait_gone "$pid"
}

# Once each, unmeasured: the first program of a session pays for setting up
# the fonts and the shell.
echo "== warming up"
measured_idle=$idle
idle=1
run_marlinet
run_baseline
idle=$measured_idle
m=()
b=()
for r in $(seq 1 "$rounds"); do
  echo "== round $r of $rounds"
  run_marlinet
  run_baseline
done

echo "== latency"
start_sound_clock "$work/sound" build/windows/host-tools/sound_clock || fail "no sound server"
late_path=$(sound_path_delays "$strikes" | latency_summary)
late_strike=$(strike_latencies "$program" "$strikes" | latency_summary)
late_launch=$(launch_latencies "$program" "$strikes" | latency_summary)
stop_sound_clock
late_row() {  # late_row <label> <median largest>
  echo "| $1 | $2 / $3 | - | - |"
}

median() { tr ' ' '\n' | grep . | sort -n | awk '{ v[NR] = $1 } END {
  if (NR % 2) print v[(NR + 1) / 2]; else printf "%g\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
ratio() { awk -v a="$1" -v b="$2" 'BEGIN { if (b > 0) printf "%.2f", a / b; else print "-" }'; }
row() {  # row <label> <key>
  local mm bm
  mm=$(median <<<"${m[$2]}")
  bm=$(median <<<"${b[$2]}")
  echo "| $1 | $mm | $bm | $(ratio "$mm" "$bm") |"
}
tick_row() {  # tick_row <label> <what>
  echo "| $1 | $(per_repetition build/bench/tick_bench "$2") | 0 (empty handler) | - |"
}

echo "== instructions per tick (callgrind)"
{
  echo "# Marlinet beside a bare tray program"
  echo
  echo "$(date -u '+%Y-%m-%d %H:%M UTC'), $(wine --version), $rounds runs of each, idle runs of $idle s;"
  echo "medians. Marlinet with 24 places and 50 launch entries; $strikes strikes and launches timed."
  echo
  echo "| measure | Marlinet | baseline | Marlinet / baseline |"
  echo "|---|---|---|---|"
  row "start to icon (ms)" start
  row "CPU over the idle run, clocks window hidden (ms)" hidden
  row "CPU over the idle run, clocks window shown (ms)" shown
  row "Wine server CPU over the hidden idle run (ms)" server
  row "peak resident memory (KiB)" peak
  row "settled resident memory (KiB)" rss
  row "settled own memory, anonymous (KiB)" anon
  tick_row "instructions: one bell tick, no strike due" bell
  tick_row "instructions: one launch tick over 50 entries, none due" launch
  tick_row "instructions: one clocks window tick within a minute" clocks
  tick_row "instructions: one clocks window tick at a new minute, 24 places" clocks-minute
  late_row "sound path: play call to first sound, lead-in off (ms, median / largest)" $late_path
  late_row "strike heard after the half hour (ms, median / largest)" $late_strike
  late_row "entry's program started after its minute began (ms, median / largest)" $late_launch
  echo
  echo "Each run: ${m[start]:+Marlinet start $(echo ${m[start]}), }baseline start $(echo ${b[start]});"
  echo "Marlinet CPU hidden $(echo ${m[hidden]}), shown $(echo ${m[shown]}); baseline $(echo ${b[hidden]})."
} | tee "$out"
echo "written to $out"
