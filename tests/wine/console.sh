#!/usr/bin/env bash
# Runs a Windows program under Wine in a console, as from a command prompt: Wine gives a program
# started without a terminal no console at all (GetConsoleOutputCP answers 0), so this one gets
# a pseudo-terminal of its own. Its output and errors bypass the console, which would redraw
# them with terminal codes, and come out here as written. Its exit status is this script's.
#   console.sh <program.exe> [arguments...]
set -euo pipefail
exec 3>&1
command="$(printf '%q ' /usr/lib/wine/wine64 "$@") >&3 2>&3"
exec script --quiet --return --command "$command" /dev/null </dev/null >/dev/null
