#!/usr/bin/env bash
# system_imports_test.sh OBJDUMP EXECUTABLE LIST
# The executable must load on every Windows it supports, Vista and later, with nothing else
# installed: every function it imports must be on the reviewed LIST of the system's own DLLs
# (never a compiler runtime such as libstdc++-6.dll), with a first Windows no later than Vista.
set -euo pipefail
objdump=$1
executable=$2
list=$3

# "dll function" per import, the DLL's name in lower case. A row is the slot's address, then the
# hint (binutils before 2.40) or the ordinal and the hint (later), then the name.
imports=$("$objdump" -p "$executable" | awk '
  /^\tDLL Name:/ { dll = tolower($3); next }
  /^$/ { dll = "" }
  dll != "" && $1 ~ /^[0-9a-f]+$/ && NF >= 3 && $NF ~ /^[A-Za-z_]/ { print dll, $NF }')
if [ -z "$imports" ]; then
  echo "no imports found in $executable"
  exit 1
fi

awk -v listFile="$list" '
  BEGIN {
    split("2000 XP Vista 7 8 8.1 10-1607", order, " ")
    for (i in order) rank[order[i]] = i
    while ((getline line < listFile) > 0) {
      if (line ~ /^#/ || line ~ /^[[:space:]]*$/) continue
      split(line, f, /[[:space:]]+/)
      if (!(f[3] in rank)) { printf "%s: unknown Windows \"%s\" for %s %s\n", listFile, f[3], f[1], f[2]; bad = 1 }
      first[f[1] " " f[2]] = f[3]
    }
  }
  {
    key = $1 " " $2
    count++
    if (!(key in first)) { printf "not on the reviewed list: %s %s\n", $1, $2; bad = 1 }
    else if (rank[first[key]] > rank["Vista"]) { printf "needs Windows %s, later than Vista: %s %s\n", first[key], $1, $2; bad = 1 }
    else dlls[$1]++
  }
  END {
    for (d in dlls) printf "%s: %d functions, all exported since Vista or earlier\n", d, dlls[d]
    printf "%d imports\n", count
    exit bad
  }' <<<"$imports"
