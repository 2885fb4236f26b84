#!/usr/bin/env bash
# Wine prefixes for the Windows tests.
#   wine-prefix.sh template <dir>                      makes the template prefix once
#   wine-prefix.sh make <prefix> <template> [drive...] a fresh prefix cloned from the template
#   wine-prefix.sh remove <prefix> [drive...]          stops its wineserver, unmounts, deletes
# A drive is <letter>=<type>:<unix folder>[:<bytes>], the type one of Wine's (floppy is a
# removable drive, hd a fixed one). The folder is emptied and becomes the drive's root; with
# <bytes> it is a tmpfs of that size (root only), so that the drive reports a card's capacity.
# The folder "-" gives a drive with nothing behind it: a reader without a card.
set -euo pipefail

wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs while the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY

[ -x "$wine" ] || { echo "SKIP: $wine is missing (apt-get install wine64)"; exit 77; }

# Bumped when the template's settings change, so that old templates are made again.
settings=2

template() {
  local dir=$1 stamp="$1/.velk-template"
  local version
  version="$("$wine" --version) settings $settings"
  if [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ]; then
    echo "template prefix $dir is ready ($version)"
    return
  fi
  rm -rf "$dir"
  mkdir -p "$dir"
  WINEPREFIX=$dir "$wine" wineboot --init >/dev/null 2>&1
  # Xvfb runs no window manager; a managed window would wait for one on every hide (~2 s).
  WINEPREFIX=$dir "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null
  WINEPREFIX=$dir "$wineserver" -w
  echo "$version" >"$stamp"
  echo "made template prefix $dir ($version)"
}

mounted() { grep -q " $(readlink -f "$1") tmpfs " /proc/self/mounts 2>/dev/null; }

unmount() {
  local folder=$1
  if [ "$folder" != - ] && [ -d "$folder" ] && mounted "$folder"; then
    umount "$folder"
  fi
}

parse() { # <drive entry> -> letter type folder bytes
  local entry=$1
  letter=${entry%%=*}
  local rest=${entry#*=}
  type=${rest%%:*}
  rest=${rest#*:}
  folder=${rest%%:*}
  bytes=
  [ "$rest" = "$folder" ] || bytes=${rest#*:}
}

make() {
  local prefix=$1 from=$2
  shift 2
  [ -f "$from/.velk-template" ] || { echo "no template prefix in $from" >&2; exit 1; }
  remove "$prefix" "$@"
  # Hard links keep a clone to a few megabytes: the same Wine never rewrites the template's
  # files in place. The registry is what each prefix changes, so it gets copies of its own.
  cp -al "$from" "$prefix"
  rm -f "$prefix/.velk-template"
  for reg in "$prefix"/*.reg; do
    cp --remove-destination "$from/$(basename "$reg")" "$reg"
  done
  local entry letter type folder bytes
  for entry in "$@"; do
    parse "$entry"
    if [ "$folder" = - ]; then
      ln -sfn "$prefix/no-card-in-$letter" "$prefix/dosdevices/$letter:"
    else
      mkdir -p "$folder"
      if [ -n "$bytes" ]; then
        if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o "size=$bytes,mode=0777" tmpfs "$folder"; then
          :
        else
          echo "warning: $folder is no tmpfs of $bytes bytes (mounting needs root)" >&2
        fi
      fi
      find "$folder" -mindepth 1 -delete
      ln -sfn "$(readlink -f "$folder")" "$prefix/dosdevices/$letter:"
    fi
    WINEPREFIX=$prefix "$wine" reg add 'HKLM\Software\Wine\Drives' /v "$letter:" /t REG_SZ \
      /d "$type" /f >/dev/null
  done
  # Wine reads its drives when its server starts.
  WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
  WINEPREFIX=$prefix "$wineserver" -w
  echo "prefix $prefix with drives: ${*:-none}"
}

remove() {
  local prefix=$1
  shift
  if [ -d "$prefix" ]; then
    WINEPREFIX=$prefix "$wineserver" -k 2>/dev/null || true
    WINEPREFIX=$prefix "$wineserver" -w 2>/dev/null || true
  fi
  local entry letter type folder bytes
  for entry in "$@"; do
    parse "$entry"
    unmount "$folder"
  done
  rm -rf "$prefix"
}

command=$1
shift
case $command in
  template) template "$@" ;;
  make) make "$@" ;;
  remove) remove "$@" ;;
  *) echo "unknown command $command" >&2; exit 2 ;;
esac
