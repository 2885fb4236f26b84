#!/usr/bin/env bash
# Builds the Debian package from a built tree, installs it with apt, starts the installed
# launcher under a virtual X server with a scratch HOME, checks where it started the program
# and that it left nothing behind, and removes the package and anything apt pulled in with it.
#   deb_install_test.sh <build dir> <source dir>
# Exit 77 (skipped) when the machine cannot do this without being changed for good.
set -euo pipefail

build=$(readlink -f "$1")
source=$(readlink -f "$2")
package=velk-assembler

skip() { echo "SKIP: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

. "$source/tests/support/needs_root.sh"
needs_root "installing a package"
for tool in apt-get dpkg dpkg-query cpack xvfb-run timeout; do
    command -v "$tool" >/dev/null || skip "$tool is not available"
done
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    skip "$package is already installed here; it is left alone"
fi
[ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build"

work=$(mktemp -d /tmp/velk-deb-XXXXXX)
# apt reads the package as its own unprivileged user.
chmod 755 "$work"
installed=()
cleanup() {
    local status=$?
    if [ ${#installed[@]} -gt 0 ]; then
        DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q \
            -o DPkg::Lock::Timeout=120 "${installed[@]}" >"$work/remove.log" 2>&1 ||
            { cat "$work/remove.log" >&2; status=1; }
    fi
    rm -rf "$work"
    exit $status
}
trap cleanup EXIT

echo "== building the package"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/pkg/*.deb)
[ -f "${debs[0]}" ] || fail "cpack made no .deb"
deb=${debs[0]}
chmod 644 "$deb"
dpkg-deb -f "$deb" Package Maintainer Depends
[ "$(dpkg-deb -f "$deb" Package)" = "$package" ] || fail "wrong package name"
[ "$(dpkg-deb -f "$deb" Maintainer)" = \
    "VELK Message Assembler developers <maintainers@users.noreply.c-seed-002c803d.example>" ] ||
    fail "wrong maintainer"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Qt is not among the dependencies"

echo "== installing"
# Whatever apt installs besides the package is removed again afterwards.
mapfile -t installed < <(apt-get install -s -y "$deb" 2>/dev/null | awk '/^Inst /{print $2}')
printf '%s\n' "${installed[@]}" | grep -qx "$package" || fail "apt would not install $package"
DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    -o DPkg::Lock::Timeout=120 "$deb" >"$work/install.log" 2>&1 ||
    { cat "$work/install.log" >&2; fail "apt-get install failed"; }

launcher=$(command -v velk-assembler) || fail "velk-assembler is not on PATH"
[ -x /usr/libexec/velk-assembler/velk-assembler ] || fail "the program is not in libexec"
[ -f /usr/share/applications/velk-assembler.desktop ] || fail "no desktop entry"
[ "$(velk-card --version)" = "velk-card 1.0.0" ] || fail "velk-card is not on PATH"
for page in velk-assembler velk-card; do
    [ -f "/usr/share/man/man1/$page.1.gz" ] || fail "no manual page $page(1)"
done
grep -qx 'Exec=velk-assembler' /usr/share/applications/velk-assembler.desktop ||
    fail "the desktop entry does not run the launcher"
[ -f /usr/share/icons/hicolor/scalable/apps/velk-assembler.svg ] || fail "no scalable icon"
[ -f /usr/share/icons/hicolor/256x256/apps/velk-assembler.png ] || fail "no 256x256 icon"
for n in 1 2 3 4 5 6 7 8 9; do
    cmp "$source/help/velkhlp$n.txt" "/usr/share/velk-assembler/help/velkhlp$n.txt" ||
        fail "installed topic $n differs from the source"
done

# Runs the installed launcher from / for a few seconds; it must still be running when
# stopped. The folder the program runs in is written to $work/cwd.
run_launcher() {
    (cd / && HOME="$work/home" env -u XDG_DATA_HOME -u XDG_CONFIG_HOME timeout 120 \
        xvfb-run -a -s "-screen 0 1024x768x24" \
        sh -c '"$1" >"$2" 2>&1 & pid=$!
               sleep "$3"
               kill -0 "$pid" 2>/dev/null || { wait "$pid"; echo "exited early: $?" >>"$2"; exit 1; }
               readlink "/proc/$pid/cwd" >"$4"
               kill "$pid"; wait "$pid" || true' sh "$launcher" "$work/run.log" "$1" "$work/cwd") ||
        { cat "$work/run.log" >&2; fail "the installed program did not keep running"; }
}

# The program reads its topics where the package put them: nothing is copied into the home
# folder, so an upgrade's topics are the ones shown and no saved list can replace one.
echo "== started in the music folder the desktop names"
music="$work/home/Musik und Ansagen"
mkdir -p "$music" "$work/home/.config"
printf '# written by xdg-user-dirs-update\nXDG_MUSIC_DIR="$HOME/Musik und Ansagen"\n' \
    >"$work/home/.config/user-dirs.dirs"
run_launcher 4
[ "$(cat "$work/cwd")" = "$music" ] || fail "started in $(cat "$work/cwd"), not in $music"
left=$(find "$work/home" -name 'velkhlp*' -o -path '*/.local/share/velk-assembler')
[ -z "$left" ] || fail "the program left help topics behind: $left"

echo "== started in the home folder where no music folder is named"
rm "$work/home/.config/user-dirs.dirs"
run_launcher 2
[ "$(cat "$work/cwd")" = "$work/home" ] || fail "started in $(cat "$work/cwd"), not in $work/home"

echo "== removing"
DEBIAN_FRONTEND=noninteractive apt-get remove --purge -y -q -o DPkg::Lock::Timeout=120 \
    "${installed[@]}" >"$work/remove.log" 2>&1 || { cat "$work/remove.log" >&2; fail "remove failed"; }
installed=()
[ ! -e /usr/bin/velk-assembler ] || fail "the launcher is still installed"
[ ! -e /usr/bin/velk-card ] || fail "velk-card is still installed"
[ ! -e /usr/share/velk-assembler ] || fail "the help topics are still installed"
echo "PASS"
