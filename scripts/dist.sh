#!/usr/bin/env bash
# Builds Torvane.exe for 32-bit and 64-bit Windows and packs the four downloads:
# build/dist/Torvane-<version>-win32.zip (i686) and -win64.zip (x86_64), with Torvane.exe,
# 使用说明.txt, README.txt and LICENSE.txt in a folder Torvane-<version>/, and the
# installers Torvane-<version>-win32-setup.exe and -win64-setup.exe (NSIS) of the same files.
# The same sources give the same files, byte for byte. Prints their paths and SHA-256.
# BUILD_DIR overrides build/; SOURCE_DATE_EPOCH overrides the files' time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build"
for arch in i686 x86_64; do
  cmake --build "$build" --target "windows_$arch" -j"$(nproc)"
  exe=$build/windows-$arch/bin/Torvane.exe
  zip=$("$root/scripts/package-zip.py" "$exe" "$build/dist")
  installer=$("$root/scripts/package-installer.py" "$exe" "$build/artwork/torvane.ico" "$build/dist")
  for package in "$zip" "$installer"; do
    echo "Package: $package"
    echo "SHA-256: $(sha256sum "$package" | cut -d' ' -f1)"
  done
done
