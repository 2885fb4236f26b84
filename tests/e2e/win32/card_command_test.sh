#!/usr/bin/env bash
# velk-card.exe under Wine on the removable E: the test's prefix has: `programme --card e: --yes`
# with no terminal, then `list` as E: and E:\; the card's files are read back from the Linux side.
#   card_command_test.sh <velk-card.exe>
set -euo pipefail
exe=$1
card=$VELK_WINE_DRIVE_E
# As another user E: is a plain folder, whose volume Wine cannot read: no card at all.
. "$(dirname "$0")/../../support/needs_root.sh"
grep -q " $(readlink -f "$card") tmpfs " /proc/self/mounts || needs_root "E: as a card (a tmpfs)"
# A folder named outside the ANSI code page: the arguments must reach the program whole.
source=$(mktemp -d /tmp/velk-cli-Büro-日本-XXXXXX)
trap 'rm -rf "$source"' EXIT
head -c 3000 /dev/urandom >"$source/intro.mp3"
printf 'beep' >"$source/beep.nvr"
echo old >"$card/old.txt"
cd "$source"
# Through files, not pipes: the wineserver that the first call starts would hold a pipe open.
velk_card() {
    /usr/lib/wine/wine64 "$exe" "$@" </dev/null >"$source/out" 2>>"$source/err" || true
    tr -d '\r' <"$source/out"
}

status=0
check() { [ "$2" = "$3" ] || { printf '%s:\n got      %q\n expected %q\n' "$1" "$2" "$3"; status=1; }; }

check programme "$(velk_card programme --card e: --yes "Z:$source/intro.mp3" "Z:$source/beep.nvr:2")" \
  "e:: verified - You may now remove the MMC card - capacity used 3004 bytes"
cmp "$source/intro.mp3" "$card/M0000001.MP3" || status=1
cmp "$source/beep.nvr" "$card/M0000002.MP3" || status=1
printf '\002\001\000M0000001.MP3\002\002M0000002.MP3' | cmp - "$card/INDEX123.VKM" || status=1
[ ! -e "$card/old.txt" ] || { echo "old.txt was not wiped"; status=1; }

listed=$(printf 'Track\tMode\tCard file\tBytes\n1\t0\tM0000001.MP3\t3000\n2\t2\tM0000002.MP3\t4')
# The drive in any case, with or without its root's backslash.
check 'list E:' "$(velk_card list --card E:)" "$listed"
check 'list E:\' "$(velk_card list --card 'E:\')" "$listed"
[ $status -eq 0 ] && echo "velk-card.exe programmed and listed E:" || cat "$source/err"
exit $status
