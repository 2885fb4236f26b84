#!/usr/bin/env bash
# The Windows program needs nothing beside it: every DLL it imports comes with Windows. It
# asks the drives with the ANSI calls GetDriveTypeA and GetDiskFreeSpaceA, and opens files
# only through the wide CreateFileW, which takes any letters in a path.
# With `console`, the program must be a console one (velk-card.exe), else a window one.
#   exe_check.sh <velk-assembler.exe> | exe_check.sh <velk-card.exe> console
set -euo pipefail
exe=$1
subsystem='(Windows GUI)'
[ "${2:-}" != console ] || subsystem='(Windows CUI)'
objdump=x86_64-w64-mingw32-objdump
imports=$("$objdump" -p "$exe")
grep -q 'file format pei-x86-64' <<<"$imports" || { echo "not a 64-bit Windows program: $exe"; exit 1; }

status=0
grep -qF "$subsystem" <<<"$imports" || { echo "not a $subsystem program: $exe"; status=1; }
system='^(kernel32|user32|gdi32|comctl32|msvcrt|advapi32|shell32|ole32|oleaut32|uxtheme|comdlg32|version|shlwapi|rstrtmgr)\.dll$'
while read -r dll; do
  if ! grep -qiE "$system" <<<"$dll"; then
    echo "imports $dll, which does not come with Windows"
    status=1
  fi
done < <(sed -n 's/^\s*DLL Name: //p' <<<"$imports")
for fn in GetDriveTypeA GetDiskFreeSpaceA CreateFileW; do
  grep -qw "$fn" <<<"$imports" || { echo "does not import $fn"; status=1; }
done
if grep -qw CreateFileA <<<"$imports"; then
  echo "imports CreateFileA, which reads a path in the ANSI code page"
  status=1
fi
[ $status -ne 0 ] || echo "$exe: system DLLs only; drive calls and file opens as expected"
exit $status
