#!/usr/bin/env bash
# Builds everything and runs every test: the portable logic natively (with AddressSanitizer and
# UBSan), then the cross-built Windows tests and the real talvane.scr under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALVANE_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh"

cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_C_COMPILER=clang-14 \
  -DTALVANE_WERROR=ON -DTALVANE_SANITIZE=ON
cmake --build "$build/native"
ctest --test-dir "$build/native" --output-on-failure -j2

cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTALVANE_WERROR=ON
cmake --build "$build/win"
# The Wine tests run twice: most on one screen, those labelled "dual" on two monitors.
TALVANE_SCREENS=single "$root/scripts/with-wine" "$build/win" \
  ctest --test-dir "$build/win" --output-on-failure -j2 -LE dual
TALVANE_SCREENS=dual "$root/scripts/with-wine" "$build/win" \
  ctest --test-dir "$build/win" --output-on-failure -j2 -L dual

# Each fuzzer for a bounded time; a finding fails the run.
bash "$root/scripts/fuzz.sh" 30
