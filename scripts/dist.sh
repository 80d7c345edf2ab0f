#!/usr/bin/env bash
# Builds Torvane.exe and packs the download, build/dist/Torvane-<version>-win32.zip:
# Torvane.exe, 使用说明.txt, README.txt and LICENSE.txt in a folder Torvane-<version>/.
# The same sources give the same zip, byte for byte. Prints its path and SHA-256.
# BUILD_DIR overrides build/; SOURCE_DATE_EPOCH overrides the entries' time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build"
cmake --build "$build" --target win32 -j"$(nproc)"

zip=$("$root/scripts/package-zip.py" "$build/win32/bin/Torvane.exe" "$build/dist")
echo "Package: $zip"
echo "SHA-256: $(sha256sum "$zip" | cut -d' ' -f1)"
