#!/usr/bin/env bash
# Ends the Wine test session: every Wine process of its prefixes, then its Xvfb.
# Usage: session-stop.sh SESSION_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-common.sh"

session=$1
[ -d "$session" ] || exit 0
torvane_stop_wineserver "$session/prefix"
torvane_stop_wineserver "$session/template"
torvane_stop_xvfb "$session"
# The prefixes take about 600 MB each; the logs and the locale stay for a look.
rm -rf "$session/prefix" "$session/template"
exit 0
