#!/usr/bin/env bash
# Builds Torvane.exe for 32-bit and 64-bit Windows and packs the two downloads,
# build/dist/Torvane-<version>-win32.zip (i686) and -win64.zip (x86_64): Torvane.exe,
# 使用说明.txt, README.txt and LICENSE.txt in a folder Torvane-<version>/.
# The same sources give the same zips, byte for byte. Prints their paths and SHA-256.
# BUILD_DIR overrides build/; SOURCE_DATE_EPOCH overrides the entries' time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build"
for arch in i686 x86_64; do
  cmake --build "$build" --target "windows_$arch" -j"$(nproc)"
  zip=$("$root/scripts/package-zip.py" "$build/windows-$arch/bin/Torvane.exe" "$build/dist")
  echo "Package: $zip"
  echo "SHA-256: $(sha256sum "$zip" | cut -d' ' -f1)"
done
