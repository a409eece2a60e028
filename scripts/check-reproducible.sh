#!/usr/bin/env bash
# check-reproducible.sh [WORK_DIR]
# Makes the release twice, from two copies of the source tree in folders of different names and
# lengths, and checks that talvane.scr and the archive come out byte for byte the same: nothing in
# them may depend on the time or on where the sources and the build lie. The copies and their
# builds stay in WORK_DIR when one is given (WORK_DIR/a and WORK_DIR/second-tree), else in a
# temporary folder that is removed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -gt 0 ]; then
  work=$1
  mkdir -p "$work"
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi

# The linker would take its time stamp from SOURCE_DATE_EPOCH: the build must not need it.
unset SOURCE_DATE_EPOCH
export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-2}

trees=(a second-tree)
for tree in "${trees[@]}"; do
  rm -rf "${work:?}/$tree"
  mkdir -p "$work/$tree/src"
  tar -C "$root" --exclude=./.git --exclude=./build --exclude='./build-*' -cf - . |
    tar -C "$work/$tree/src" -xf -
  TALVANE_BUILD_DIR="$work/$tree/build" bash "$work/$tree/src/scripts/release.sh"
done

first=$work/${trees[0]}/build/release
second=$work/${trees[1]}/build/release
archive=$(cd "$first" && echo talvane-*.zip)
status=0
for file in win/bin/talvane.scr "$archive"; do
  if cmp "$first/$file" "$second/$file"; then
    echo "same: $file ($(stat -c %s "$first/$file") bytes)"
  else
    status=1
  fi
done
exit $status
