#!/usr/bin/env bash
# Makes the release archive build/release/talvane-VERSION.zip: talvane.scr from its own MinSizeRel
# cross build, the license, a read-me for Windows users and the files' SHA-256 checksums. The
# archive is reproducible: fixed file times and modes, sorted entries, no extra attributes.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${TALVANE_BUILD_DIR:-$root/build}/release
build=$out/win

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" -DTALVANE_WERROR=ON >/dev/null
cmake --build "$build" --target talvane

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=talvane-$version
# The files carry the time of the last commit, not the time the archive is made; 1980-01-01, the
# first time a zip entry can hold, when there is no commit to ask.
epoch=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 315532800)}

stage=$out/$name
rm -rf "$stage" "$out/$name.zip" "$out/$name.zip.sha256"
mkdir -p "$stage"
cp "$build/bin/talvane.scr" "$stage/talvane.scr"
# CRLF line ends, which every Windows editor shows as lines.
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
sed 's/$/\r/' >"$stage/README.txt" <<EOF
Talvane $version - a clock screen saver for Windows

Talvane shows the time of day as "hh:nn" (24-hour) in one line of digits stretched
across the whole width of every monitor. You choose the font face, the text colour
and the background colour. Moving the mouse, pressing a key or clicking ends it.

Files
  talvane.scr      the screen saver: one 32-bit program that needs nothing else
  LICENSE.txt      the MIT license
  SHA256SUMS.txt   SHA-256 checksums of these files

Install
  Right-click talvane.scr and choose Install. The Screen Saver Settings open with
  Talvane selected; choose OK.

  Installed that way, Talvane leaves the Screen Saver Settings list as soon as you
  pick another saver. To keep it in the list, copy talvane.scr into
  C:\Windows\System32 on 32-bit Windows, or into C:\Windows\SysWOW64 on 64-bit
  Windows (this needs administrator rights), then pick Talvane in the list.

Settings
  In the Screen Saver Settings choose Talvane, then Settings..., to pick the font
  face and the two colours. They are kept in the file
  %APPDATA%\Morvent\Talvane\talvane.ini

Remove
  In the Screen Saver Settings pick another saver or (None), then delete
  talvane.scr from the folder you put it in. To remove the settings too, delete
  the folder %APPDATA%\Morvent\Talvane (and %APPDATA%\Morvent if it is empty).

Check the files
  In PowerShell, in the folder that holds them:
    Get-FileHash -Algorithm SHA256 talvane.scr
  The hash shown must match the line for talvane.scr in SHA256SUMS.txt.
EOF
(cd "$stage" && sha256sum LICENSE.txt README.txt talvane.scr >SHA256SUMS.txt)

chmod 644 "$stage"/*
touch -d "@$epoch" "$stage"/*
# zip stores local times: UTC makes them the same on every machine. -X leaves out owners and
# extended times; the names are listed in a fixed order.
(cd "$stage" && TZ=UTC zip -X -q -9 "$out/$name.zip" LICENSE.txt README.txt SHA256SUMS.txt talvane.scr)
(cd "$out" && sha256sum "$name.zip" >"$name.zip.sha256")
echo "$out/$name.zip"
