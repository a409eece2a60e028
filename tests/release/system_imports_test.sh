#!/usr/bin/env bash
# system_imports_test.sh OBJDUMP EXECUTABLE
# The executable must start on a bare Windows: every DLL it imports must be one that Windows itself
# brings, never a compiler runtime such as libstdc++-6.dll or libwinpthread-1.dll.
set -euo pipefail
objdump=$1
executable=$2
allowed=(advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll
  ole32.dll oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll)

imports=$("$objdump" -p "$executable" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
if [ -z "$imports" ]; then
  echo "no imports found in $executable"
  exit 1
fi
status=0
for dll in $imports; do
  if printf '%s\n' "${allowed[@]}" | grep -qxF "$dll"; then
    echo "system DLL: $dll"
  else
    echo "not a Windows DLL: $dll"
    status=1
  fi
done
exit $status
