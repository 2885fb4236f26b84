#!/usr/bin/env bash
# The Windows packages in a Wine prefix, as an operator would use them.
#   package_test.sh installer <setup.exe> <program_start_test.exe>
#     installs silently (/S), checks the per-user folder, shortcut and uninstall entry, starts
#     the program through the shortcut, uninstalls silently and checks that nothing is left
#   package_test.sh zip <zip> <program_start_test.exe>
#     unpacks into a folder with non-ASCII letters and starts the program from another folder
# Runs in the prefix and on the display that CTest gives it (WINEPREFIX, DISPLAY).
set -euo pipefail
kind=$1 package=$2 checker=$3
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "$package" ] || fail "no package at $package"
: "${WINEPREFIX:?}"

windowsPath() { echo "Z:${1//\//\\}"; }

case $kind in
installer)
  key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\VELK Message Assembler'
  folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/VELK Message Assembler"
  menu="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/Microsoft/Windows/Start Menu/Programs"
  # Windows reads from the installer's manifest whether to ask for administrator rights.
  grep -aq 'level="asInvoker"' "$package" || fail "the installer asks for more than the user's rights"
  "$wine" "$package" /S || fail "the installer failed with $?"
  for f in velk-assembler.exe velk-card.exe Uninstall.exe velkhlp{1..9}.txt; do
    [ -f "$folder/$f" ] || fail "not installed: $folder/$f"
  done
  [ -f "$menu/VELK Message Assembler.lnk" ] || fail "no Start-menu shortcut in $menu"
  "$wine" reg query "$key" /v UninstallString | grep -q 'Uninstall.exe' ||
    fail "no uninstall entry under $key"
  echo "installed into $folder"

  VELK_INSTALLED=1 VELK_INSTALLER=$(windowsPath "$package") "$wine" "$checker"

  # The uninstaller copies itself away and returns at once; the server ends with the last process.
  "$wine" "$folder/Uninstall.exe" /S
  "$wineserver" -w
  [ ! -e "$folder" ] || fail "left after uninstalling: $(ls -A "$folder")"
  [ ! -e "$menu/VELK Message Assembler.lnk" ] || fail "the shortcut is left after uninstalling"
  if "$wine" reg query "$key" >/dev/null 2>&1; then fail "the uninstall entry is left"; fi
  echo "uninstalled, nothing left"
  ;;
zip)
  place="$WINEPREFIX/drive_c/Ablage Büro 日本"
  rm -rf "$place"
  mkdir -p "$place"
  unzip -q "$package" -d "$place"
  folder=$(find "$place" -mindepth 1 -maxdepth 1 -type d)
  [ "$(echo "$folder" | wc -l)" -eq 1 ] || fail "the zip should hold one folder"
  listed=$(cd "$folder" && ls | sort | tr '\n' ' ')
  [ "$listed" = "velk-assembler.exe velk-card.exe velkhlp1.txt velkhlp2.txt velkhlp3.txt velkhlp4.txt velkhlp5.txt velkhlp6.txt velkhlp7.txt velkhlp8.txt velkhlp9.txt " ] ||
    fail "the zip's folder holds: $listed"
  VELK_PROGRAM_FOLDER=$(windowsPath "$folder") "$wine" "$checker"
  ;;
*) fail "unknown kind $kind" ;;
esac
