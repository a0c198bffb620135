#!/usr/bin/env bash
# Builds Velmora.exe and starts it. On Linux it runs under Wine in a prefix of its own inside
# the build folder (your ~/.wine is never touched; Velmora's settings live in that prefix's
# registry from one start to the next). With no display, it runs on a virtual one (Xvfb) and
# leaves a screenshot in the build folder.
# Installs the Debian packages it needs when they are missing (run as root on a fresh machine).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$root/build}

bash "$root/tools/setup-debian.sh" start

cmake -S "$root" -B "$build/windows" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
ninja -C "$build/windows" Velmora
exe="$build/windows/app/Velmora.exe"
echo "Built $exe"

prefix=${VELMORA_WINEPREFIX:-$build/wine-home}
run() { "$root/tools/wine-run.sh" "$prefix" "$exe"; }

if [ -n "${DISPLAY:-}" ]; then
  echo "Starting Velmora on display $DISPLAY (Wine prefix $prefix)"
  run >"$build/velmora.log" 2>&1
else
  shot="$build/velmora-screenshot.png"
  echo "No display: starting Velmora on a virtual display (Wine prefix $prefix)."
  echo "A screenshot is written to $shot every 15 seconds; press Ctrl+C to stop."
  # shellcheck disable=SC2016
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" "$2" "$3" >"$4/velmora.log" 2>&1 &
    app=$!
    while kill -0 $app 2>/dev/null; do
      sleep 15
      import -window root "$5" 2>/dev/null && echo "screenshot: $5"
    done' _ "$root/tools/wine-run.sh" "$prefix" "$exe" "$build" "$shot"
fi
