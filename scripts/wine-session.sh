# Sourced: the prefix, a private display and a running Wine server for the
# Wine-run tests, all taken down again when the calling script exits.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
source "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
start_wine_session() {
  # Where PulseAudio is installed, Wine plays through it first and its client
  # starts a server for the user on demand, which then takes the sound the
  # tests capture through ALSA. A server that cannot be reached makes Wine use
  # ALSA; the cases that time sound give their program their own server.
  export PULSE_SERVER=${PULSE_SERVER:-unix:/nonexistent/marlinet-tests}
  bash "$(dirname "${BASH_SOURCE[0]}")/wine-prefix.sh"
  trap stop_wine_session EXIT
  start_xvfb
  # Wine's services must be up before ctest starts, or they inherit its
  # output pipe and every test waits on them.
  wineserver -p
  wine wineboot >/dev/null 2>&1
}
stop_wine_session() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  stop_xvfb
}
