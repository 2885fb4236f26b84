#!/usr/bin/env bash
# Builds the Debian package from a built tree and has Debian's own checkers read it: lintian
# must find no error and no warning, and appstreamcli must accept its metainfo file.
#   deb_lint_test.sh <build dir>
# Exit 77 (skipped) when lintian or appstreamcli is missing.
set -euo pipefail
build=$(readlink -f "$1")
for tool in lintian appstreamcli cpack; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not available"; exit 77; }
done
work=$(mktemp -d /tmp/velk-lint-XXXXXX)
trap 'rm -rf "$work"' EXIT

(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg") >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; echo "FAIL: cpack failed"; exit 1; }
deb=$(ls "$work"/pkg/*.deb)
status=0
# Root may run lintian here: the package is only read.
lintian --allow-root --fail-on error,warning --display-info "$deb" || status=1
dpkg-deb -x "$deb" "$work/root"
appstreamcli validate --no-net --pedantic "$work"/root/usr/share/metainfo/*.metainfo.xml || status=1
[ $status -ne 0 ] || echo "PASS: lintian and appstreamcli accept $(basename "$deb")"
exit $status
