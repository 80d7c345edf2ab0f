#!/usr/bin/env bash
# Builds Torvane and shows it under Wine: on $DISPLAY when there is one (until
# Ctrl-C), otherwise on a private Xvfb for a few seconds. Saves a screenshot.
# Usage: scripts/run.sh [--no-build] [SECONDS]
#   SECONDS: how long to keep it on a private display (default 8).
#   --no-build: show what the last build made. BUILD_DIR overrides build/.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
source "$root/tests/wine/wine-common.sh"
do_build=yes
if [ "${1:-}" = --no-build ]; then do_build=; shift; fi
seconds=${1:-8}

if [ -n "$do_build" ]; then
  "$root/scripts/install-deps.sh"
  cmake -S "$root" -B "$build"
  cmake --build "$build" -j 2
fi

# The 64-bit build: it runs whether or not this machine runs 32-bit programs.
bin=$build/windows-x86_64/bin
run=$build/wine-run
folder=$run/program
screenshot=$run/screenshot.png
own_display=

cleanup() {
  torvane_stop_wineserver "$run/prefix"
  [ -n "$own_display" ] && torvane_stop_xvfb "$run"
  return 0
}
trap cleanup EXIT
trap 'exit 130' INT TERM

mkdir -p "$run"
torvane_compile_locale "$run/locale"
torvane_export_wine_env "$run/locale" x86_64
if [ -n "${DISPLAY:-}" ] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  echo "Showing Torvane on $DISPLAY; Ctrl-C ends it."
else
  own_display=yes
  DISPLAY=$(torvane_start_xvfb "$run")
  export DISPLAY
  echo "No display: showing Torvane on a private Xvfb ($DISPLAY) for $seconds s."
fi

export WINEPREFIX=$run/prefix
torvane_stop_wineserver "$WINEPREFIX"
if ! grep -qs '"Managed"="N"' "$WINEPREFIX/user.reg" || ! grep -qs '^#arch=win64' "$WINEPREFIX/system.reg"; then
  echo "Making the Wine prefix $WINEPREFIX (about 15 s, once)."
  torvane_make_prefix "$WINEPREFIX"
fi

rm -rf "$folder"
mkdir -p "$folder"
cp "$bin/Torvane.exe" "$bin/zbarcam.exe" "$bin/zbarimg.exe" "$folder/"
(cd "$folder" && exec "$WINELOADER" Torvane.exe </dev/null >"$run/torvane.log" 2>&1) &

window=
for _ in $(seq 300); do
  window=$(timeout 5 xdotool search --name '^Mirelda$' 2>/dev/null | head -1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { echo "Torvane's window did not appear; see $run/torvane.log" >&2; exit 1; }

if [ -n "$own_display" ]; then
  sleep "$seconds"
  timeout 20 import -window root "$screenshot"
  echo "Screenshot: $screenshot"
else
  sleep 2
  timeout 20 import -window root "$screenshot"
  echo "Screenshot: $screenshot"
  # Until Torvane ends (退出) or Ctrl-C.
  while timeout 5 xdotool search --name '^Mirelda$' >/dev/null 2>&1; do sleep 1; done
fi
