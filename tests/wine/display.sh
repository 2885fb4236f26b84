#!/usr/bin/env bash
# The X display that Windows test programs with windows draw on.
#   display.sh start <number> <state dir>   starts Xvfb :<number> unless a server answers there
#   display.sh stop <number> <state dir>    stops it if start started it
set -euo pipefail
command=$1 number=$2 state=$3
pidfile=$state/xvfb-$number.pid
mkdir -p "$state"

answers() { xdpyinfo -display ":$number" >/dev/null 2>&1; }

case $command in
  start)
    if answers; then
      echo "display :$number is already up"
      exit 0
    fi
    setsid Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp </dev/null >"$state/xvfb-$number.log" 2>&1 &
    echo $! >"$pidfile"
    for _ in $(seq 100); do
      answers && { echo "started Xvfb :$number (pid $(cat "$pidfile"))"; exit 0; }
      sleep 0.1
    done
    echo "Xvfb :$number did not come up:" >&2
    cat "$state/xvfb-$number.log" >&2
    exit 1
    ;;
  stop)
    if [ -f "$pidfile" ]; then
      kill "$(cat "$pidfile")" 2>/dev/null || true
      rm -f "$pidfile"
    fi
    ;;
  *) echo "unknown command $command" >&2; exit 2 ;;
esac
