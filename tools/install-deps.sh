#!/bin/bash
# Installs what building and testing Kestrun needs on Debian 12. Safe to run again.
set -euo pipefail

packages=(cmake g++ make googletest libgtest-dev libgmock-dev python3
          g++-mingw-w64-i686-win32 binutils-mingw-w64-i686 mingw-w64-tools
          wine32:i386 xvfb xdotool imagemagick x11-utils iproute2 clang-format clang-tidy
          clang libclang-rt-14-dev nsis openvpn)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if ((${#missing[@]} == 0)); then
    exit 0
fi
echo "Installing: ${missing[*]}"
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
