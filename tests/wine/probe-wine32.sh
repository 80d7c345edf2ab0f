#!/usr/bin/env bash
# Exits 0 when this machine can run 32-bit Windows programs under Wine; otherwise
# prints why on one line and exits 1.
source "$(dirname "$0")/wine-common.sh"
loader=$(torvane_wine_loader i686)
[ -x "$loader" ] || { echo "Wine's 32-bit loader $loader is not installed (package wine32:i386)"; exit 1; }
if ! out=$(timeout 20 "$loader" --version 2>&1); then
  echo "$loader does not start here: $(printf '%s' "$out" | tail -1)"
  exit 1
fi
