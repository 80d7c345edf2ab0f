#!/usr/bin/env bash
# Runs one Windows test program in the session: a fresh copy of the template
# prefix, the session's display and locale, a time limit, and every Wine process
# of that prefix ended afterwards so that nothing carries over to the next test.
# Usage: run-in-session.sh SESSION_DIR TIMEOUT_SECONDS PROGRAM.exe [ARGS...]
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-common.sh"

session=$1 limit=$2 program=$3
shift 3
[ -f "$session/session.env" ] || { torvane_log "no session in $session (setup failed?)"; exit 1; }
source "$session/session.env"
[ -f "$program" ] || { torvane_log "missing $program"; exit 1; }

torvane_stop_wineserver "$WINEPREFIX"
rm -rf "$WINEPREFIX"
cp -a "$TORVANE_WINE_TEMPLATE" "$WINEPREFIX"
mkdir -p "$TORVANE_E2E_ARTIFACTS"

# Output goes to a file, not to ctest's pipe: Wine's helper processes would
# otherwise inherit the pipe and keep ctest waiting.
log=$session/$(basename "$program" .exe).$$.log
timeout --kill-after=10 "$limit" "$WINELOADER" "$program" "$@" </dev/null >"$log" 2>&1
status=$?
cat "$log"
rm -f "$log"
torvane_stop_wineserver "$WINEPREFIX"
[ $status -eq 124 ] && torvane_log "$(basename "$program") timed out after $limit s"
exit $status
