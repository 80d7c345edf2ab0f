#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Safe to run again.
# Every layer runs the x86_64 build under Wine's 64-bit loader; the 32-bit Wine
# (wine32:i386) is an extra that lets the i686 build run too where the kernel runs
# 32-bit programs. Its absence, or a refusal to install it, is never an error.
set -euo pipefail

need_root() { [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root (apt-get is needed)" >&2; exit 1; }; }

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev
  g++-mingw-w64-i686-posix mingw-w64-i686-dev
  wine64
  xvfb xdotool xauth x11-utils imagemagick
  libx11-dev
  libgtest-dev googletest libbenchmark-dev
  libqrencode-dev qrencode zlib1g-dev
  zbar-tools
  fonts-wqy-microhei
  locales
  clang libclang-rt-14-dev
  python3 unzip
  nsis 7zip
)

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

# A 32-bit program runs here when the kernel starts one. The probe needs no i386
# package: a 93-byte static i386 ELF whose only instructions are exit(0).
kernel_runs_32bit() {
  local probe status
  local elf=7f454c4601010100000000000000000002000300010000005480040834000000000000000000000034002000
  elf+=0100000000000000010000000000000000800408008004085d0000005d0000000500000000100000b80100000031dbcd80
  probe=$(mktemp) || return 1
  python3 -c 'import sys; sys.stdout.buffer.write(bytes.fromhex(sys.argv[1]))' "$elf" >"$probe" && chmod +x "$probe"
  "$probe" 2>/dev/null
  status=$?
  rm -f "$probe"
  return $status
}

missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done
if [ ${#missing[@]} -gt 0 ]; then
  need_root
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

if ! installed wine32:i386 && kernel_runs_32bit; then
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: not root, so no 32-bit Wine (wine32:i386); only the x86_64 build runs" >&2
    exit 0
  fi
  export DEBIAN_FRONTEND=noninteractive
  { dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386; } &&
    apt-get update -q && apt-get install -y -q --no-install-recommends wine32:i386 \
    || echo "install-deps: 32-bit Wine (wine32:i386) could not be installed; only the x86_64 build runs" >&2
fi
exit 0
