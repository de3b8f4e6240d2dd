#!/usr/bin/env bash
# Fails when any Windows executable under the build folder imports a DLL that
# is not part of Windows itself. Arguments: objdump, build folder.
set -u
objdump=$1
dir=$2
allowed='^(kernel32|user32|gdi32|ole32|oleaut32|advapi32|shell32|comctl32|comdlg32|msvcrt|ws2_32|psapi|ntdll|uuid|version|winmm|riched20|riched32|msftedit|uxtheme)\.dll$'
status=0
count=0
while IFS= read -r exe; do
  count=$((count + 1))
  while IFS= read -r dll; do
    lower=$(printf '%s' "$dll" | tr 'A-Z' 'a-z')
    if ! printf '%s' "$lower" | grep -Eq "$allowed"; then
      echo "$exe imports $dll, which is not a Windows system DLL"
      status=1
    fi
  done < <("$objdump" -p "$exe" | sed -n 's/^\tDLL Name: //p')
done < <(find "$dir" -name '*.exe' -not -path '*/CMakeFiles/*' -not -path '*/wineprefix/*')
if [ "$count" -eq 0 ]; then
  echo "no executables found under $dir"
  exit 1
fi
echo "$count executables checked"
exit $status
