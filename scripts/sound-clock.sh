# Sourced: a private sound server whose only output is a pipe, read in real
# time by tools/sound_clock.c, which notes on the wall clock when each sound
# begins. A program started with "$(sound_clock_env)" before it plays there.
#
#   start_sound_clock <dir> <sound_clock binary>; ...; stop_sound_clock
#   sound_onsets: the starts so far, ms since 1970, one a line

sound_dir=""
sound_server=""
sound_reader=""
sound_clock_tool=""
start_sound_clock() {
  sound_dir=$1
  sound_clock_tool=$2
  mkdir -p "$sound_dir"
  rm -f "$sound_dir/sink" "$sound_dir/onsets"
  mkfifo "$sound_dir/sink"
  # Its own home and runtime folder: nothing of another server is shared.
  HOME=$sound_dir XDG_RUNTIME_DIR=$sound_dir pulseaudio -n --daemonize=no --exit-idle-time=-1 \
    --use-pid-file=no --disallow-exit --log-target=file:"$sound_dir/server.log" \
    -L "module-pipe-sink file=$sound_dir/sink format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$sound_dir/native" >/dev/null 2>&1 &
  sound_server=$!
  "$2" <"$sound_dir/sink" >"$sound_dir/onsets" &
  sound_reader=$!
  local t=100
  until [ -S "$sound_dir/native" ]; do
    t=$((t - 1))
    [ $t -le 0 ] && return 1
    sleep 0.1
  done
  # The pipe's backlog from before the reader came is gone after a moment.
  sleep 0.5
}
sound_clock_env() { echo "PULSE_SERVER=unix:$sound_dir/native"; }
sound_onsets() { cat "$sound_dir/onsets"; }
stop_sound_clock() {
  [ -n "$sound_server" ] && kill "$sound_server" 2>/dev/null && wait "$sound_server" 2>/dev/null
  [ -n "$sound_reader" ] && kill "$sound_reader" 2>/dev/null && wait "$sound_reader" 2>/dev/null
  sound_server=""
  sound_reader=""
}
# The silence a recording begins with, in ms: what is heard comes that much
# after its playback starts.
lead_in_ms() { "$sound_clock_tool" "$1"; }
