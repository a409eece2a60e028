#!/usr/bin/env bash
# Installs what building and testing Talvane needs on Debian 12 or 13, as root: each release's own
# default compilers (unversioned names), so one list serves both. Does nothing when all is there.
set -euo pipefail
# Two libraries that 32-bit Wine only recommends, which every desktop has: without libxrandr2:i386
# Wine 10 puts every monitor at 0,0; without libxi6:i386 (XInput2) Wine 10 retries, without end,
# to confine the cursor to a full-screen window that has the focus and shows the cursor, and
# such a program spins on one core.
packages=(
  cmake ninja-build g++ clang libclang-rt-dev llvm googletest python3
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  wine wine32:i386 fonts-wine libxinerama1:i386 libxrandr2:i386 libxi6:i386
  xvfb xserver-xorg-core xserver-xorg-video-dummy x11-xserver-utils xauth x11-utils x11-apps xdotool imagemagick procps
  zip unzip
  gnuplot-nox
)
if dpkg -s "${packages[@]}" >/dev/null 2>&1; then
  exit 0
fi
export DEBIAN_FRONTEND=noninteractive
dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
