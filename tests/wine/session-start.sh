#!/usr/bin/env bash
# Starts the Wine test session of one ctest run: the zh_CN locale, a template
# prefix, a private Xvfb, and an environment file the test wrappers load.
# Usage: session-start.sh ARCH SESSION_DIR ARTIFACTS_DIR   (ARCH: x86_64 or i686)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/wine-common.sh"

arch=$1
session=$2
artifacts=$3

# Safe to run again: end whatever an earlier, interrupted run left behind.
"$here/session-stop.sh" "$session" || true
rm -rf "$session" "$artifacts"
mkdir -p "$session" "$artifacts"

started=$SECONDS
torvane_compile_locale "$session/locale"
torvane_export_wine_env "$session/locale" "$arch"
display=$(torvane_start_xvfb "$session")
export DISPLAY=$display
# The machine has no sound card: Wine's default sound device of the session
# writes what is played to a file instead, so that a test can hear the beep.
cat >"$session/asound.conf" <<ALSA
pcm.!default {
  type file
  slave { pcm { type null } }
  file "$session/sound.raw"
  format "raw"
}
ALSA
export ALSA_CONFIG_PATH=$session/asound.conf
torvane_make_prefix "$session/template"

cat >"$session/session.env" <<ENV
export WINEARCH=$WINEARCH
export WINELOADER=$WINELOADER
export WINESERVER=$WINESERVER
export WINEDEBUG=$WINEDEBUG
export WINEDLLOVERRIDES='$WINEDLLOVERRIDES'
export LOCPATH='$LOCPATH'
{ export LC_ALL=$LC_ALL; } 2>/dev/null
export DISPLAY=$display
export TORVANE_WINE_TEMPLATE='$session/template'
export WINEPREFIX='$session/prefix'
export TORVANE_E2E_ARTIFACTS='$artifacts'
export ALSA_CONFIG_PATH='$session/asound.conf'
export TORVANE_SOUND_CAPTURE='$session/sound.raw'
ENV
torvane_log "$arch session ready in $((SECONDS - started)) s: display $display, prefix template $session/template"
