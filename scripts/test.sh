#!/usr/bin/env bash
# Builds everything and runs every test: the portable logic natively (with AddressSanitizer and
# UBSan), then the cross-built Windows tests and the real talvane.scr under Wine, then the fuzzers.
# Every phase runs even when an earlier one failed, so one run reports all failures; the last line
# names the phases that failed.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALVANE_BUILD_DIR:-$root/build}

bash "$root/scripts/install-deps.sh" || { echo "test.sh: installing the build tools failed" >&2; exit 1; }

failed=()
# phase NAME COMMAND...: runs one phase in a subshell that stops at its first failing step.
phase() {
  local name=$1
  shift
  echo "=== $name" >&2
  # Not inside an 'if': errexit is ignored in a tested command, subshells included.
  (set -e; "$@")
  if [ $? -ne 0 ]; then
    echo "=== $name: FAILED" >&2
    failed+=("$name")
  fi
}

native() {
  # The release's own clang (14 on Debian 12, 19 on Debian 13).
  cmake -S "$root" -B "$build/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang \
    -DTALVANE_WERROR=ON -DTALVANE_SANITIZE=ON
  cmake --build "$build/native"
  ctest --test-dir "$build/native" --output-on-failure -j2
}

windows_build() {
  cmake -S "$root" -B "$build/win" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTALVANE_WERROR=ON
  cmake --build "$build/win"
}

# The Wine tests run on three desktops: most on one screen at 96 dpi, those labelled "dpi144" on
# one started at 144 dpi, those labelled "dual" on two monitors.
wine_single() {
  TALVANE_SCREENS=single "$root/scripts/with-wine" "$build/win" \
    ctest --test-dir "$build/win" --output-on-failure -j2 -LE 'dual|dpi144'
}

wine_dpi144() {
  TALVANE_SCREENS=single TALVANE_DPI=144 "$root/scripts/with-wine" "$build/win" \
    ctest --test-dir "$build/win" --output-on-failure -j2 -L dpi144
}

wine_dual() {
  TALVANE_SCREENS=dual "$root/scripts/with-wine" "$build/win" \
    ctest --test-dir "$build/win" --output-on-failure -j2 -L dual
}

phase native native
phase "windows build" windows_build
if [[ " ${failed[*]} " == *" windows build "* ]]; then
  echo "=== the Wine phases: not run, the Windows build failed" >&2
  failed+=("single-screen Wine (not built)" "144-dpi Wine (not built)" "two-monitor Wine (not built)")
else
  phase "single-screen Wine" wine_single
  phase "144-dpi Wine" wine_dpi144
  phase "two-monitor Wine" wine_dual
fi
# Each fuzzer for a bounded time; a finding fails the run.
phase fuzzers bash "$root/scripts/fuzz.sh" 30

if ((${#failed[@]} > 0)); then
  printf 'test.sh: failed phases: %s\n' "$(IFS=,; echo "${failed[*]}" | sed 's/,/, /g')" >&2
  exit 1
fi
echo "test.sh: every phase passed" >&2
