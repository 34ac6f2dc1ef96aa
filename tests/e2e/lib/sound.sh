# What the program plays: captured to a file, or timed by a private sound server.

recording() { tail -c +45 "$work/$1"; }  # the samples of a recording
heard() {  # heard <recording...>: exactly those, in that order, were played
  local expected
  expected=$(mktemp)
  for r in "$@"; do recording "$r" >>"$expected"; done
  local t=100
  while [ "$(stat -c %s "$work/capture.raw")" -lt "$(stat -c %s "$expected")" ] && [ $t -gt 0 ]; do
    sleep 0.1
    t=$((t - 1))
  done
  cmp -s "$expected" "$work/capture.raw"
  local same=$?
  rm -f "$expected"
  return $same
}
heard_nothing() { [ "$(stat -c %s "$work/capture.raw")" = 0 ]; }

timed_sound() {  # a private sound server, timed, for the programs started after it
  start_sound_clock "$(mktemp -d /tmp/marlinet-sound.XXXXXX)" "$E2E_SOUND_CLOCK" ||
    fail "the sound server did not start"
}

# A private sound server writes what the program plays, silence included, to a
# pipe in real time; each sound's start is timed there on the wall clock and
# set against the program's own clock (scripts/latency.sh).

in_budget() {  # in_budget <most ms> <what> <ms...>: each at or after the mark, none later than that
  local most=$1 what=$2 n=0 l
  shift 2
  for l in "$@"; do
    n=$((n + 1))
    [ "$l" -ge 0 ] && [ "$l" -le "$most" ] || fail "$what $n came $l ms after its mark (all: $*)"
  done
  [ $n -gt 0 ] || fail "no $what was timed"
}
