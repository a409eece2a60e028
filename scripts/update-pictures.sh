#!/usr/bin/env bash
# Copies the pictures that the test run saved (build/win/pictures) into docs/images for the README,
# scaled down and compressed. Run after scripts/test.sh.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
from=${1:-$root/build/win/pictures}
to="$root/docs/images"
mkdir -p "$to"
shrink() { convert "$from/$1" -resize "$3" -strip -define png:compression-level=9 "$to/$2"; }
shrink saver-fullscreen.png fullscreen.png '960x>'
shrink saver-two-monitors.png two-monitors.png '1200x>'
shrink setup-dialog.png setup-dialog.png '100%'
convert "$from/preview-in-host.png" -scale 200% -strip "$to/preview.png"
ls -la "$to"
