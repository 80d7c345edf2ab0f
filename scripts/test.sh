#!/usr/bin/env bash
# Builds everything (native core, artwork, the Windows tree) and runs every test
# layer: core unit tests, Win32 adapter tests under Wine, end-to-end tests of
# Torvane.exe under Wine in a virtual display. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
cd build
ctest --output-on-failure --timeout 900
