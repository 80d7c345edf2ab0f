#!/usr/bin/env bash
# Builds everything (native core, artwork, the Windows tree for x86_64 and i686)
# and runs every test layer: core unit tests, Win32 adapter tests under Wine,
# end-to-end tests of Torvane.exe under Wine in a virtual display. The Windows
# layers run the x86_64 build under Wine's 64-bit loader, and the i686 build too
# where this machine runs 32-bit programs. Ends with CTest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
if reason=$(tests/wine/probe-wine32.sh); then
  echo "Windows layers: the x86_64 build and the i686 build"
else
  echo "Windows layers: the x86_64 build only; 32-bit run skipped: $reason"
fi
cd build
ctest --output-on-failure --timeout 900
