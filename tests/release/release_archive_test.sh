#!/usr/bin/env bash
# Makes the release twice in two places (the two must match byte for byte), then opens the archive
# as a user would: exactly the four files, and the checksums it carries hold for them.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bash "$root/scripts/check-reproducible.sh" "$work"

archive=$(echo "$work"/a/build/release/talvane-*.zip)
entries=$(unzip -Z1 "$archive")
expected=$'LICENSE.txt\nREADME.txt\nSHA256SUMS.txt\ntalvane.scr'
if [ "$entries" != "$expected" ]; then
  printf 'archive holds:\n%s\nexpected:\n%s\n' "$entries" "$expected"
  exit 1
fi
unzip -q "$archive" -d "$work/unpacked"
grep -q '  talvane.scr$' "$work/unpacked/SHA256SUMS.txt"
(cd "$work/unpacked" && sha256sum --check --strict SHA256SUMS.txt)
