#!/usr/bin/env bash
# A long run proving that nothing is lost: CODES distinct codes (default 2000)
# through the stand-in camera's pipe, 40 to 90 ms apart, with repeats and the
# welcome code mixed in, into Torvane.exe under Wine. Checks that every code
# was typed (with Enter, into a focused window of another program), listed and
# logged exactly once and in order, samples resident memory, prints the
# figures and exits non-zero on any loss. Not part of scripts/test.sh.
# Usage: scripts/soak.sh [CODES]     (BENCH_JOBS=N build jobs, default 2;
# BENCH_BUILD=DIR build folder, default build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
codes=${1:-2000}
build=${BENCH_BUILD:-$PWD/build-bench}
session=$build/soak-session
results=$build/soak
log() { printf '[soak] %s\n' "$*" >&2; }

scripts/install-deps.sh
mkdir -p "$build"
log "building in $build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log"; exit 1; }
# Only what the figures run: the Windows tree is built whole the first time
# only (to configure it), then just torvane_bench.exe and the programs it runs.
cmake --build "$build" --target artwork -j"${BENCH_JOBS:-2}" >"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }
if [ ! -f "$build/windows-x86_64/CMakeCache.txt" ]; then
  cmake --build "$build" --target windows_x86_64 -j"${BENCH_JOBS:-2}" >>"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }
fi
cmake --build "$build/windows-x86_64" --target torvane_bench -j"${BENCH_JOBS:-2}" >>"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }

rm -rf "$results"
mkdir -p "$results"
trap 'tests/wine/session-stop.sh "$session"' EXIT
tests/wine/session-start.sh x86_64 "$session" "$build/soak-artifacts"

log "$codes codes, about $((codes * 80 / 1000)) s"
echo "started $(date -u '+%Y-%m-%d %H:%M UTC') load $(cut -d' ' -f1-3 /proc/loadavg)" >"$results/when.txt"
echo "commit $(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src tools bench || echo ' with changes')" >>"$results/when.txt"
status=0
tests/wine/run-in-session.sh "$session" $((codes / 4 + 300)) "$build/windows-x86_64/bin/torvane_bench.exe" \
  "Z:$(printf '%s' "$results/soak.txt" | tr / '\\')" soak "$codes" >"$results/soak.log" 2>&1 || status=$?

echo "finished $(date -u '+%Y-%m-%d %H:%M UTC') load $(cut -d' ' -f1-3 /proc/loadavg)" >>"$results/when.txt"
if [ ! -s "$results/soak.txt" ]; then
  cat "$results/soak.log"
  log "no figures: the run failed"
  exit 1
fi
awk '{ key = $1; sub(/^soak\./, "", key); $1 = ""; printf "%-32s%s\n", key, $0 }' "$results/soak.txt"
if [ $status -ne 0 ] || ! grep -qx 'soak.verdict pass' "$results/soak.txt"; then
  log "FAILED: codes were lost, doubled or out of order (see above and $results/soak.log)"
  exit 1
fi
log "passed: every code delivered exactly once, in order"
