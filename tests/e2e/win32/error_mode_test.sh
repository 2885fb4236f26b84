#!/usr/bin/env bash
# velk-card.exe sets the critical-error mode before it asks a drive: on Windows a reader without
# a card would otherwise raise the system's "No disk" box and hold the command until someone
# answers it. Wine raises no such box and cannot tell one process another's error mode, but its
# relay trace shows the calls the program makes, in order. F: is a reader without a card.
#   error_mode_test.sh <velk-card.exe>
set -euo pipefail
exe=$1
wine=/usr/lib/wine/wine64
traced=(SetErrorMode GetDriveTypeA GetDriveTypeW GetDiskFreeSpaceA GetDiskFreeSpaceExW
        GetVolumeInformationW)
"$wine" reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /f \
  /d "$(printf 'KERNEL32.%s;' "${traced[@]}")" >/dev/null
trace=$(mktemp)
trap 'rm -f "$trace"' EXIT
# Through files, not pipes: the wineserver that the first call starts would hold a pipe open.
status=0
WINEDEBUG=-all,+relay "$wine" "$exe" list --card F: </dev/null >/dev/null 2>"$trace" || status=$?
[ $status -eq 1 ] || { echo "velk-card list --card F: ended with $status, not 1"; exit 1; }

# "0024:Call KERNEL32.SetErrorMode(00008001) ret=..." as "SetErrorMode 00008001"
quiet=0
while read -r call argument; do
  if [ "$call" = SetErrorMode ]; then
    quiet=$(( 16#$argument & 1 )) # SEM_FAILCRITICALERRORS
    continue
  fi
  if [ $quiet -eq 1 ]; then
    echo "velk-card.exe set SEM_FAILCRITICALERRORS before it called $call"
    exit 0
  fi
  echo "velk-card.exe called $call before it set SEM_FAILCRITICALERRORS"
  exit 1
done < <(sed -n 's/.*:Call KERNEL32\.\([A-Za-z]*\)(\([0-9a-f]*\).*/\1 \2/p' "$trace")
echo "velk-card.exe asked no drive about F:"
exit 1
