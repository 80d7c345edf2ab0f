#!/usr/bin/env bash
# Runs one Windows test program of an existing build under Wine, in a session of
# its own (prefix, Xvfb, locale), with any GoogleTest arguments: for working on a
# few tests without the whole ctest run. Build first (scripts/test.sh or
# `cmake --build build --target windows_x86_64`).
#   scripts/wine-test.sh win32|e2e [--arch x86_64|i686] [--limit SECONDS] [GTEST_ARGS...]
# Example: scripts/wine-test.sh e2e --gtest_filter='Delivery.*' --gtest_repeat=10
set -euo pipefail
cd "$(dirname "$0")/.."
layer=${1:?usage: scripts/wine-test.sh win32|e2e [--arch A] [--limit S] [GTEST_ARGS...]}
shift
arch=x86_64 limit=1500
while [ $# -gt 0 ]; do
  case $1 in
    --arch) arch=$2; shift 2 ;;
    --limit) limit=$2; shift 2 ;;
    *) break ;;
  esac
done
case $layer in
  win32) program=torvane_win32_tests.exe ;;
  e2e) program=torvane_e2e_tests.exe ;;
  *) echo "unknown layer '$layer' (win32 or e2e)" >&2; exit 2 ;;
esac
build=$PWD/build
bin=$build/windows-$arch/bin
[ -f "$bin/$program" ] || { echo "missing $bin/$program: build first" >&2; exit 1; }
session=$build/wine-session-manual-$arch
artifacts=$build/e2e-artifacts/manual-$arch
trap 'tests/wine/session-stop.sh "$session" >/dev/null 2>&1 || true' EXIT
tests/wine/session-start.sh "$arch" "$session" "$artifacts"
export TORVANE_XDND_DROP=$build/tools/xdnd_drop/torvane_xdnd_drop
# The e2e drops come from this native drag source.
[ -x "$TORVANE_XDND_DROP" ] || cmake --build "$build" --target torvane_xdnd_drop >/dev/null
# The Installer suite installs what the package check built (ctest -R dist_package_).
width=win64
[ "$arch" = i686 ] && width=win32
installers=("$build/tests/dist/work-$arch/ia/"*"-$width-setup.exe")
export TORVANE_INSTALLER=${TORVANE_INSTALLER:-${installers[0]}}
tests/wine/run-in-session.sh "$session" "$limit" "$bin/$program" "$@"
