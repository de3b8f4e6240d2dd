#!/usr/bin/env bash
# Fails when any Windows executable under the build folder imports a DLL that
# is not part of Windows itself. Arguments: objdump, build folder.
set -u
objdump=$1
dir=$2
allowed='^(kernel32|user32|gdi32|ole32|oleaut32|advapi32|shell32|comctl32|comdlg32|msvcrt|ws2_32|psapi|ntdll|uuid|version|winmm|riched20|riched32|msftedit|uxtheme)\.dll$'
. "$(dirname "${BASH_SOURCE[0]}")/common.sh"
count=0
while IFS= read -r exe; do
  count=$((count + 1))
  while IFS= read -r dll; do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    if ! printf '%s' "$lower" | grep -Eq "$allowed"; then
      fail "$exe imports $dll, which is not a Windows system DLL"
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
done < <(find "$dir" -name '*.exe' -not -path '*/CMakeFiles/*' -not -path '*/wineprefix/*')
[ "$count" -gt 0 ] || fail "no executables found under $dir"
passed "$count executables checked, each imports Windows system DLLs only"
