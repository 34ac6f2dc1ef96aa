# Sourced: waiting on a condition, for the cases and the benchmark alike.
# Holds at every look for that long: a "nothing happens" check.
stays() {  # stays <seconds> <command...>
  local t=$(($1 * 5))
  shift
  while [ $t -gt 0 ]; do
    "$@" || return 1
    sleep 0.2
    t=$((t - 1))
  done
}
# Holds within that many seconds.
eventually() {  # eventually <seconds> <command...>
  local t=$(($1 * 10))
  shift
  until "$@"; do
    t=$((t - 1))
    [ $t -le 0 ] && return 1
    sleep 0.1
  done
}
