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
exec wine "$@"
