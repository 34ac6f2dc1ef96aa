# Sourced by whatever ctest runs under Wine: when ctest has given the test a
# Wine session (the resource "wine", see scripts/wine-session.sh), that
# session's prefix, display and Wine server; otherwise the caller's own.
if [ -n "${CTEST_RESOURCE_GROUP_0_WINE:-}" ]; then
  _wine_session_id=${CTEST_RESOURCE_GROUP_0_WINE#id:}
  source "$(dirname "${BASH_SOURCE[0]}")/../build/wine-sessions/${_wine_session_id%%,*}.env"
fi
