#!/usr/bin/env bash
# Runs a cross-built Windows program under Wine in a throwaway prefix.
# Usage: wine-run.sh PREFIX PROGRAM [ARGS...]
# The prefix lives in the build folder, so a user's own ~/.wine is never touched.
set -euo pipefail
prefix=$1
shift
export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEARCH=win64
mkdir -p "$(dirname "$prefix")"
(
  # ctest may start several tests at once: one of them creates the prefix, the others wait.
  flock 9
  if [ ! -f "$prefix/system.reg" ]; then
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
) 9>"$prefix.lock"
# One persistent server for the many short test processes.
wineserver -p >/dev/null 2>&1 || true
# Wine's helper processes (explorer for the desktop window, services) outlive the program and
# inherit its standard output; ctest would wait for the end of that pipe until its timeout. The
# program therefore writes into a file of its own, which is copied out once it has ended.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
wine "$@" >"$log" 2>&1 || status=$?
cat "$log"
exit "$status"
