#!/usr/bin/env bash
# Builds talvane.scr and runs it under Wine with the given switch (default /s, the full-screen
# saver). On the user's X display when there is one; otherwise on a headless X server, where it
# lets the saver draw, saves a screenshot and ends the run with a key press.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TALVANE_BUILD_DIR:-$root/build}/win

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" >/dev/null
cmake --build "$build" --target talvane

[ $# -gt 0 ] || set -- /s
scr="$build/bin/talvane.scr"
# The saver's own prefix, inside the build tree: a run never touches the user's Wine settings.
prefix_dir="$build/run"
mkdir -p "$prefix_dir"

if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
  TALVANE_USER_DISPLAY=1 "$root/scripts/with-wine" "$prefix_dir" wine "$scr" "$@"
  exit $?
fi

shot="$build/screenshot.png"
"$root/scripts/with-wine" "$prefix_dir" bash -c '
  wine "$1" "${@:3}" &
  pid=$!
  sleep 4
  import -window root "$2"
  xdotool key Escape
  for _ in $(seq 50); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
  if kill -0 "$pid" 2>/dev/null; then kill "$pid"; fi
  wait "$pid"
' run "$scr" "$shot" "$@"
echo "screenshot: $shot"
