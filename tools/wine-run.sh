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
    # Without a window manager, Wine's managed windows take about two seconds to hide or
    # close; unmanaged ones take milliseconds, and tests hide and close many windows.
    # Tests ask for that (VELMORA_UNMANAGED_WINDOWS=1); a user's own start keeps its frames.
    if [ "${VELMORA_UNMANAGED_WINDOWS:-0}" = 1 ]; then
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 || true
    fi
    # A prefix for high-DPI tests: programs started in it see this many dots per inch.
    if [ -n "${VELMORA_LOGPIXELS:-}" ]; then
      wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VELMORA_LOGPIXELS" /f \
        >/dev/null 2>&1 || true
    fi
    wineserver -w || true
  fi
) 9>"$prefix.lock"
# One server for the many short test processes. It ends by itself, and with it Wine's helper
# processes of the prefix, this many seconds after the last program of the prefix has ended, so
# nothing stays behind when nobody ends it (a server made persistent without a limit never
# ends). The first call in a prefix sets the limit; later ones find the server running.
wineserver -p"${VELMORA_WINESERVER_LINGER:-20}" >/dev/null 2>&1 || true
# Wine's helper processes (explorer for the desktop window, services) outlive the program and
# inherit its standard output; ctest would wait for the end of that pipe until its timeout. The
# program therefore writes into a file of its own, which is copied out once it has ended.
log=$(mktemp)
trap 'rm -f "$log"' EXIT
status=0
wine "$@" >"$log" 2>&1 || status=$?
cat "$log"
exit "$status"
