#!/usr/bin/env bash
# scripts/build-windows as a newcomer runs it, on a copy of the sources with no build folder:
# once without a certificate, then once more with a test certificate made here. Each time the
# zip must hold both programs and the topics; signed, the installer, the zip's programs and
# what the installer puts in place (the uninstaller too) must carry the test signature. The
# compiler cache that the suite's own build filled keeps the copy's build to about a minute.
#   fresh_build_test.sh <source dir>
# Runs in the Wine prefix CTest gives it (WINEPREFIX), where the signed installer is tried.
set -euo pipefail
source=$(readlink -f "$1")
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
fail() { echo "FAIL: $*" >&2; exit 1; }
: "${WINEPREFIX:?}"

work=$(mktemp -d /tmp/velk-fresh-XXXXXX)
trap 'rm -rf "$work"' EXIT
copy=$work/velk-assembler
mkdir "$copy"
# What a clone would hold: the files git tracks, as they are now, and new ones not ignored.
if git -C "$source" rev-parse --git-dir >/dev/null 2>&1; then
  (cd "$source" && git ls-files -z --cached --others --exclude-standard |
    tar --null --ignore-failed-read -T - -cf -) | tar -xf - -C "$copy"
else
  (cd "$source" && tar --exclude=./build -cf - .) | tar -xf - -C "$copy"
fi

build() { # <env assignments...>: runs the copy's scripts/build-windows with them
  (cd "$copy" && env -u CCACHE_BASEDIR -u VELK_SIGN_CERT -u VELK_SIGN_PASSWORD_FILE \
    -u VELK_SIGN_TIMESTAMP "$@" scripts/build-windows) >"$work/build.log" 2>&1 ||
    { cat "$work/build.log" >&2; fail "scripts/build-windows failed"; }
}
unpack() { # <zip> <folder>: the zip's one folder, unpacked into <folder>
  rm -rf "$2"
  mkdir "$2"
  unzip -q -j "$1" -d "$2"
  listed=$(ls "$2" | tr '\n' ' ')
  [ "$listed" = "velk-assembler.exe velk-card.exe velkhlp1.txt velkhlp2.txt velkhlp3.txt velkhlp4.txt velkhlp5.txt velkhlp6.txt velkhlp7.txt velkhlp8.txt velkhlp9.txt " ] ||
    fail "the zip holds: $listed"
}
signed() { # <file> <what it is>
  osslsigncode verify -in "$1" -CAfile "$work/cert.pem" >"$work/verify.log" 2>&1 &&
    grep -q 'Subject: /CN=VELK Test Signing' "$work/verify.log" ||
    { cat "$work/verify.log" >&2; fail "$2 does not carry the test signature"; }
}
unsigned() { # <file> <what it is>
  ! osslsigncode verify -in "$1" >"$work/verify.log" 2>&1 && grep -q 'No signature found' "$work/verify.log" ||
    { cat "$work/verify.log" >&2; fail "$2 should carry no signature"; }
}

echo "== no certificate, no build folder"
[ ! -e "$copy/build" ] || fail "the copy came with a build folder"
start=$SECONDS
build
grep -qx 'Not signed: no certificate given.*' "$work/build.log" || fail "the build did not say that nothing was signed"
zip=$(echo "$copy"/build/windows/velk-assembler-*-win64.zip)
setup=$(echo "$copy"/build/windows/velk-assembler-*-setup.exe)
[ -f "$zip" ] && [ -f "$setup" ] || fail "no zip or no installer: $(ls "$copy/build/windows")"
unpack "$zip" "$work/zip"
unsigned "$setup" "the installer"
unsigned "$work/zip/velk-assembler.exe" "the zip's velk-assembler.exe"
echo "built and packed in $((SECONDS - start)) s"

echo "== a test certificate"
openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=VELK Test Signing" -days 2 \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
printf 'for this test only' >"$work/password"
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -passout "file:$work/password" \
  -out "$work/test.pfx"
start=$SECONDS
build VELK_SIGN_CERT="$work/test.pfx" VELK_SIGN_PASSWORD_FILE="$work/password"
grep -q '^Signing the programs, the uninstaller and the installer' "$work/build.log" ||
  fail "the build did not say that it signed"
signed "$setup" "the installer"
unpack "$zip" "$work/zip"
signed "$work/zip/velk-assembler.exe" "the zip's velk-assembler.exe"
signed "$work/zip/velk-card.exe" "the zip's velk-card.exe"
echo "signed and packed again in $((SECONDS - start)) s"

# The installer writes the uninstaller; both programs are installed from its own copies.
folder="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Local/Programs/VELK Message Assembler"
"$wine" "$setup" /S || fail "the installer failed with $?"
for f in velk-assembler.exe velk-card.exe Uninstall.exe; do
  signed "$folder/$f" "the installed $f"
done
"$wine" "$folder/Uninstall.exe" /S
"$wineserver" -w
echo "PASS: the packages build from a fresh copy, unsigned and signed"
