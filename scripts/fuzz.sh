#!/usr/bin/env bash
# Fuzzes the portable core: builds the fuzz targets with clang (libFuzzer,
# AddressSanitizer, UndefinedBehaviorSanitizer) in build-fuzz/ and runs each for
# SECONDS (default 300). The corpus each run grows is kept in
# build-fuzz/corpus/<target>/ for the next run; an input that breaks a property
# or crashes is saved in build-fuzz/findings/<target>/. Prints every target's
# executions and findings; exits non-zero when any target found something.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-300}"
[[ "$seconds" =~ ^[0-9]+$ ]] || { echo "usage: scripts/fuzz.sh [SECONDS]" >&2; exit 2; }

scripts/install-deps.sh
tree=build-fuzz
cmake -S . -B "$tree" -DTORVANE_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$tree" -j"$(nproc)"

targets=$(cmake -P fuzz/list_targets.cmake 2>&1)
summary=()
failed=0
for name in $targets; do
  corpus="$tree/corpus/$name"
  findings="$tree/findings/$name"
  log="$tree/logs/$name.log"
  mkdir -p "$corpus" "$findings" "$(dirname "$log")"
  echo "== $name: ${seconds}s"
  set +e
  # New inputs go to the first folder only: the seeds in fuzz/corpus stay as they are.
  "$tree/bin/${name}_fuzzer" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
    -artifact_prefix="$findings/" "$corpus" "fuzz/corpus/$name" >"$log" 2>&1
  result=$?
  set -e
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
  if [ "$result" -eq 0 ]; then
    outcome="no findings"
  else
    failed=1
    outcome="FOUND: $(grep -m1 -E '^broken:|ERROR:|runtime error' "$log" || echo "exit $result")"
    outcome+=" (inputs in $findings, log $log)"
  fi
  grep '^stat::' "$log" || true
  summary+=("$(printf '%-12s %12s executions  %s' "$name" "${executions:-?}" "$outcome")")
done

echo
echo "== fuzzing summary (${seconds}s per target)"
printf '%s\n' "${summary[@]}"
exit "$failed"
