# Sourced: instruction counts from valgrind's callgrind, which counts the same
# on every run however busy the machine is.
instructions() {  # instructions <command...>: the program's total for one run
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 |
    awk '/Collected :/ { print $4 }'
}
per_repetition() {  # per_repetition <program> <what>: one repetition's instructions
  local none many
  none=$(instructions "$1" "$2" 0)
  many=$(instructions "$1" "$2" 10000)
  echo $(((many - none) / 10000))
}
