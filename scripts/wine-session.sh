# Sourced: Wine sessions for the Wine-run tests, each a prefix, a private
# display and a running Wine server of its own, all taken down again when the
# calling script exits.
#
#   start_wine_session        one session, in this shell's environment
#   start_wine_sessions <n>   n sessions side by side, for ctest to share out:
#                             build/wine-sessions/resources.json names them as
#                             the resource "wine", and a test given one reads
#                             its environment from build/wine-sessions/<id>.env
#                             (scripts/wine-session-env.sh does that)
#
# Each session's Wine server runs under the clock shifter (tools/timeshift.c)
# with the session's running count file: a case that moves a program's clock
# forward can move the running count that Wine's server keeps (GetTickCount,
# timers) by the same step. Pass "plain" to start_wine_session for a server
# without it, as the benchmarks measure it.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
_session_dir=$_marlinet_root/build/wine-sessions
_session_xvfb=()
_session_prefixes=()
# The real server, not a session's wrapper of it.
_real_wineserver=$(PATH=$(tr ':' '\n' <<<"$PATH" | grep -v wine-sessions | paste -sd:) command -v wineserver)

# Writes the environment of session <id> with prefix <prefix> on display <display>.
_write_session_env() {
  local id=$1 prefix=$2 display=$3 plain=${4:-}
  local dir=$_session_dir/$id shifter=$_marlinet_root/build/windows/host-tools/timeshift
  mkdir -p "$dir/bin"
  # The running count's file: the wall clock's offset (always 0 for the
  # server) and the seconds the running count has been moved on, which only grow.
  echo "0 0" >"$dir/running"
  {
    echo "#!/bin/sh"
    if [ -z "$plain" ] && [ -f "$shifter/lib/x86_64-linux-gnu/timeshift.so" ]; then
      echo "export LD_PRELOAD='$shifter/\$LIB/timeshift.so' MARLINET_TIME_OFFSET_FILE='$dir/running' MARLINET_SHIFT_RUNNING=1"
    fi
    echo "exec '$_real_wineserver' \"\$@\""
  } >"$dir/bin/wineserver"
  chmod +x "$dir/bin/wineserver"
  {
    echo "export WINEPREFIX='$prefix' DISPLAY='$display'"
    # Every start of the server, Wine's own or a case's, goes through the wrapper.
    echo "export WINESERVER='$dir/bin/wineserver' PATH='$dir/bin':\"\$PATH\""
    echo "export MARLINET_RUNNING_FILE='$dir/running'"
  } >"$_session_dir/$id.env"
}

# Starts the Wine server and services of the session in this environment.
_boot_session() {
  # Wine's services must be up before ctest starts, or they inherit its
  # output pipe and every test waits on them.
  wineserver -p
  wine wineboot >/dev/null 2>&1
}

start_wine_session() {
  # Where PulseAudio is installed, Wine plays through it first and its client
  # starts a server for the user on demand, which then takes the sound the
  # tests capture through ALSA. A server that cannot be reached makes Wine use
  # ALSA; the cases that time sound give their program their own server.
  export PULSE_SERVER=${PULSE_SERVER:-unix:/nonexistent/marlinet-tests}
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
  trap stop_wine_session EXIT
  start_xvfb
  local id="one_$$"
  _write_session_env "$id" "$WINEPREFIX" "$DISPLAY" "${1:-}"
  source "$_session_dir/$id.env"
  _boot_session
}

start_wine_sessions() {
  local n=$1 i id prefix first=$WINEPREFIX
  export PULSE_SERVER=${PULSE_SERVER:-unix:/nonexistent/marlinet-tests}
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
  trap stop_wine_session EXIT
  mkdir -p "$_session_dir"
  # Further prefixes are copies of the first, made before any server runs on it.
  for i in $(seq 1 $((n - 1))); do
    prefix=$first-$i
    if [ ! -f "$prefix/.marlinet-prefix-v1" ] || [ "$prefix/.marlinet-prefix-v1" -ot "$first/.marlinet-prefix-v1" ]; then
      rm -rf "$prefix"
      cp -a "$first" "$prefix"
    fi
  done
  local sessions='{"version": {"major": 1, "minor": 0}, "local": [{"wine": ['
  for i in $(seq 0 $((n - 1))); do
    id=s$i
    prefix=$first
    [ "$i" -gt 0 ] && prefix=$first-$i
    start_xvfb
    _session_xvfb+=("$XVFB_PID")
    _session_prefixes+=("$prefix")
    _write_session_env "$id" "$prefix" "$DISPLAY"
    (source "$_session_dir/$id.env" && _boot_session)
    sessions+="{\"id\": \"$id\", \"slots\": 1}"
    [ "$i" -lt $((n - 1)) ] && sessions+=", "
  done
  echo "$sessions]}]}" >"$_session_dir/resources.json"
  # The first session is also this shell's, for anything run outside ctest.
  source "$_session_dir/s0.env"
}

stop_wine_session() {
  local prefix pid
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  for prefix in "${_session_prefixes[@]}"; do
    WINEPREFIX=$prefix wineserver -k 2>/dev/null || true
    WINEPREFIX=$prefix wineserver -w 2>/dev/null || true
  done
  stop_xvfb
  for pid in "${_session_xvfb[@]}"; do kill "$pid" 2>/dev/null && wait "$pid" 2>/dev/null; done
  _session_xvfb=()
  _session_prefixes=()
}
