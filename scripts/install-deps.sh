#!/usr/bin/env bash
# Installs everything the build and the tests need on Debian 12. Safe to run again.
set -euo pipefail

need_root() { [ "$(id -u)" -eq 0 ] || { echo "install-deps: run as root (apt-get is needed)" >&2; exit 1; }; }

packages=(
  cmake make g++ pkg-config
  g++-mingw-w64-i686 mingw-w64-i686-dev
  wine wine32:i386
  xvfb xdotool xauth x11-utils imagemagick
  libx11-dev
  libgtest-dev googletest libbenchmark-dev
  libqrencode-dev qrencode zlib1g-dev
  zbar-tools
  fonts-wqy-microhei
  locales
  clang libclang-rt-14-dev
  python3 unzip
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi

need_root
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -q
apt-get install -y -q --no-install-recommends "${missing[@]}"
