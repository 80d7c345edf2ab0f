#!/usr/bin/env bash
# Measures Torvane's whole-program performance figures and writes them to
# docs/performance.md: the intake natively (Google Benchmark: a piece of decoder
# output to a delivered code, runaway output) and, under Wine in a private
# virtual display, the decoder pipe through the program's adapter, runaway
# output through Torvane.exe, scan-to-keystroke latency, idle cost, memory,
# start-up and what Wine's SendInput costs. Every figure comes from this one
# run, apart from the soak (scripts/soak.sh), whose latest figures are shown
# beside them when present. Nothing is asserted.
# Takes about 40 minutes (the two idle figures alone take ten minutes each).
#   scripts/bench.sh            the full run
#   BENCH_QUICK=1 scripts/bench.sh   fewer codes and shorter quiet periods (a rough look)
#   BENCH_JOBS=N                 build jobs (default 2)
#   BENCH_BUILD=DIR              build folder (default build-bench)
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${BENCH_BUILD:-$root/build-bench}
results=$build/results
session=$build/session
jobs=${BENCH_JOBS:-2}

if [ "${BENCH_QUICK:-0}" = 1 ]; then
  latency_codes=60 idle_seconds=20 pointer_seconds=10 memory_codes=300 quiet_seconds=5 startup_runs=3 runaway_mb=32 pipe_mb=16
else
  latency_codes=250 idle_seconds=600 pointer_seconds=60 memory_codes=10000 quiet_seconds=30 startup_runs=9 runaway_mb=256 pipe_mb=64
fi

log() { printf '[bench] %s\n' "$*" >&2; }
windows_path() { printf 'Z:%s' "$(printf '%s' "$1" | tr / '\\')"; }

scripts/install-deps.sh
log "building in $build"
mkdir -p "$build"
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >"$build/configure.log" 2>&1 \
  || { cat "$build/configure.log"; exit 1; }
cmake --build "$build" --target benchmarks -j"$jobs" >"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }
# Only what the figures run: the Windows tree is built whole the first time
# only (to configure it), then just torvane_bench.exe and the programs it runs.
cmake --build "$build" --target artwork -j"$jobs" >>"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }
if [ ! -f "$build/windows-x86_64/CMakeCache.txt" ]; then
  cmake --build "$build" --target windows_x86_64 -j"$jobs" >>"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }
fi
cmake --build "$build/windows-x86_64" --target torvane_bench -j"$jobs" >>"$build/build.log" 2>&1 || { tail -50 "$build/build.log"; exit 1; }
bin=$build/windows-x86_64/bin

rm -rf "$results"
mkdir -p "$results"
{
  echo "started $(date -u '+%Y-%m-%d %H:%M UTC')"
  echo "cpu $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"
  echo "cores $(nproc)"
  echo "kernel $(uname -sr)"
  echo "wine $(/usr/lib/wine/wine64 --version 2>/dev/null) (64-bit loader, x86_64 build)"
  echo "load_at_start $(cut -d' ' -f1-3 /proc/loadavg)"
  echo "command scripts/bench.sh${BENCH_QUICK:+ (BENCH_QUICK=$BENCH_QUICK)}"
  echo "exe_bytes $(stat -c %s "$bin/Torvane.exe")"
  echo "dlls $(x86_64-w64-mingw32-objdump -p "$bin/Torvane.exe" | awk '/DLL Name/ {print $3}' | tr '\n' ' ')"
} >"$results/machine.txt"

log "intake, native"
"$build/bench/torvane_intake_bench" \
  --benchmark_out="$results/native.json" --benchmark_out_format=json >"$results/native.log" 2>&1 \
  || log "the native benchmark failed, see $results/native.log"
log "runaway output, native"
"$build/bench/torvane_runaway_output_bench" \
  --benchmark_out="$results/native-runaway.json" --benchmark_out_format=json >"$results/native-runaway.log" 2>&1 \
  || log "the native runaway benchmark failed, see $results/native-runaway.log"
bench/flatten-benchmark.py "$results/native.json" "$results/native-runaway.json" >"$results/native.txt"

trap 'tests/wine/session-stop.sh "$session"' EXIT
tests/wine/session-start.sh x86_64 "$session" "$build/artifacts"

wine_results=$(windows_path "$results/wine.txt")
figure() {
  local name=$1 limit=$2
  shift 2
  log "$name, under Wine (load $(cut -d' ' -f1-3 /proc/loadavg))"
  echo "load.$name.start $(cut -d' ' -f1-3 /proc/loadavg | tr ' ' /)" >>"$results/machine.txt"
  tests/wine/run-in-session.sh "$session" "$limit" "$bin/torvane_bench.exe" "$wine_results" "$name" "$@" \
    >"$results/$name.log" 2>&1 || log "$name ended with an error, see $results/$name.log"
  echo "load.$name.end $(cut -d' ' -f1-3 /proc/loadavg | tr ' ' /)" >>"$results/machine.txt"
}
figure pipe 600 500 "$pipe_mb"
figure runaway 1500 "$runaway_mb"
figure winecost 300 100
figure latency 600 "$latency_codes"
figure idle $((idle_seconds * 2 + pointer_seconds + 300)) "$idle_seconds" "$pointer_seconds"
figure startup 600 "$startup_runs"
figure memory $((memory_codes / 5 + quiet_seconds * 2 + 300)) "$memory_codes" "$quiet_seconds"

echo "finished $(date -u '+%Y-%m-%d %H:%M UTC')" >>"$results/machine.txt"
echo "load_at_end $(cut -d' ' -f1-3 /proc/loadavg)" >>"$results/machine.txt"
bench/render-performance.sh "$results" "$build/soak" >docs/performance.md
log "wrote docs/performance.md (raw figures in $results)"
