#!/usr/bin/env bash
# Builds Velmora.exe and the client simulator and starts a live demo: Velmora runs from
# build/demo/, and the simulator plays a SETI client in that same folder, which is the location
# Velmora shows on a first start. A work unit passes in about three minutes, so within a few
# refreshes (every 15 s) the progress moves, and at the end of the unit the icon and the
# counters change as the result is written, waits and is sent.
#
# On Linux everything runs under Wine in a prefix of its own inside the build folder (your
# ~/.wine is never touched). Velmora keeps its settings in that prefix's registry from one start
# to the next; this script writes none of them, but for the stall demo's short stall time in
# its own prefix (below). With no display, the demo runs on a virtual one (Xvfb) and leaves a
# screenshot in the build folder every 15 seconds.
# Installs the Debian packages it needs when they are missing (run as root on a fresh machine).
# VELMORA_BUILD_DIR moves the build folder, VELMORA_WINDOWS_TREE the Windows build tree
# (default: build/windows), VELMORA_WINEPREFIX the Wine prefix (default: build/wine-home).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$root/build}
tree=${VELMORA_WINDOWS_TREE:-$build/windows}
demo=$build/demo
prefix=${VELMORA_WINEPREFIX:-$build/wine-home}
# One unit of 120 CPU seconds at 0.8 CPU seconds per second: about 150 s of work, then the
# result is written (about 8 s) and waits to be sent (about 16 s, longer than one refresh).
sim_speed=0.8
sim_unit_cpu=120
sim_seconds=3600

# Ends every Wine process of the demo prefix: Velmora, the simulator and Wine's helpers (the
# prefix's server would otherwise stay, and the simulator would play on).
end_wine() {
  bash "$root/tools/wine-end.sh" "$prefix" "$prefix" || true
}

if [ -z "${VELMORA_DEMO_ON_XVFB:-}" ]; then
  bash "$root/tools/setup-debian.sh" start
  cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
  ninja -C "$tree" Velmora velmora-client-sim
  echo "Built $tree/app/Velmora.exe"
  if [ -z "${DISPLAY:-}" ]; then
    echo "No display: running the demo on a virtual display."
    # Not exec'd: this shell stays, to end the demo's Wine processes however the demo ends (the
    # demo inside does so too; a Ctrl+C reaches only this shell, since the demo runs in the
    # background, where a script ignores it).
    VELMORA_DEMO_ON_XVFB=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" "$@" &
    xvfb_pid=$!
    trap 'end_wine; wait "$xvfb_pid" 2>/dev/null' EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM HUP
    status=0
    wait "$xvfb_pid" || status=$?
    exit "$status"
  fi
fi

# The demo copy: the program, its help page and the simulated client's files, nothing else.
mkdir -p "$demo"
cp "$tree/app/Velmora.exe" "$tree/app/index.html" "$demo/"
rm -f "$demo"/*.sah
demo_win="Z:${demo//\//\\}"

sim_pid=
app_pid=
sleeper=
cleanup() {
  if [ -n "$sleeper" ]; then
    kill "$sleeper" 2>/dev/null || true
  fi
  # The simulator and Velmora run in sessions of their own: end their Wine processes with them.
  if [ -n "$sim_pid" ]; then
    kill -- "-$sim_pid" 2>/dev/null || true
  fi
  if [ -n "$app_pid" ]; then
    kill -- "-$app_pid" 2>/dev/null || true
  fi
  end_wine
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# A Wine program inherits the standard output of whoever starts it, and so do Wine's helper
# processes: every program writes into a log file of its own.
# VELMORA_DEMO_STALL_AFTER=N: the client hangs on its unit after N seconds, so that its row turns
# red once the stall time has passed (one minute in the demo's own prefix, see below).
stall_args=()
if [ -n "${VELMORA_DEMO_STALL_AFTER:-}" ]; then
  stall_args=(--stall-after "$VELMORA_DEMO_STALL_AFTER")
fi
setsid "$root/tools/wine-run.sh" "$prefix" "$tree/tools/velmora-client-sim.exe" --speed "$sim_speed" \
  --seconds "$sim_seconds" --unit-cpu "$sim_unit_cpu" "${stall_args[@]}" "$demo_win" >"$build/client-sim.log" 2>&1 &
sim_pid=$!
# The first start creates the prefix (half a minute at most); the folder is ready when the
# simulator has written its state file.
for _ in $(seq 1 120); do
  [ -f "$demo/state.sah" ] && break
  kill -0 "$sim_pid" 2>/dev/null || { cat "$build/client-sim.log"; echo "The simulator did not start." >&2; exit 1; }
  sleep 0.5
done

# The stall demo shows its red row within about two minutes: in the demo's own prefix (never in
# one named by VELMORA_WINEPREFIX, which may be the user's) the stall time is set to one minute,
# and put back to the default by the next demo without a stall. Velmora reads it at its start.
stall_mark=$prefix/velmora-demo-stall-time
stall_key='HKCU\Software\Tarnek\Velmora\Defaults'
if [ -z "${VELMORA_WINEPREFIX:-}" ]; then
  if [ -n "${VELMORA_DEMO_STALL_AFTER:-}" ]; then
    "$root/tools/wine-run.sh" "$prefix" reg add "$stall_key" /v StallMinutes /t REG_SZ /d 1 /f >/dev/null 2>&1 &&
      touch "$stall_mark" && echo "Stall time in the demo prefix: 1 minute."
  elif [ -f "$stall_mark" ]; then
    "$root/tools/wine-run.sh" "$prefix" reg delete "$stall_key" /v StallMinutes /f >/dev/null 2>&1 || true
    rm -f "$stall_mark"
  fi
elif [ -n "${VELMORA_DEMO_STALL_AFTER:-}" ]; then
  echo "The row turns red after the stall time stored in $prefix (20 minutes unless Defaults\\StallMinutes says otherwise)."
fi

# On the virtual display no window manager runs: Wine then leaves the frames (title, menu bar,
# borders) to nobody unless it draws them itself, as the screenshot tool has it do. The setting
# is the prefix's, so it is marked, and taken back by the next demo on a real display, where a
# window manager draws them. The caption buttons need Wine's own Marlett, which Debian's Wine
# finds only in the prefix's font folder.
x11_key='HKCU\Software\Wine\X11 Driver'
frames_mark=$prefix/velmora-demo-draws-frames
if [ -n "${VELMORA_DEMO_ON_XVFB:-}" ]; then
  if [ ! -f "$frames_mark" ] && ! grep -qi '^"Managed"="N"' "$prefix/user.reg" 2>/dev/null; then
    "$root/tools/wine-run.sh" "$prefix" reg add "$x11_key" /v Managed /t REG_SZ /d N /f >/dev/null 2>&1 &&
      touch "$frames_mark"
  fi
  if [ -d /usr/share/wine/fonts ] && [ ! -f "$prefix/drive_c/windows/Fonts/marlett.ttf" ]; then
    cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
  fi
elif [ -f "$frames_mark" ]; then
  "$root/tools/wine-run.sh" "$prefix" reg delete "$x11_key" /v Managed /f >/dev/null 2>&1 || true
  rm -f "$frames_mark"
fi

echo "Demo folder: $demo ($demo_win\\), where the simulated client plays."
if grep -qi '^\[Software\\\\Tarnek\\\\Velmora\\\\Locations\]' "$prefix/user.reg" 2>/dev/null; then
  echo "Velmora starts with the locations stored in $prefix. If the demo folder is not among"
  echo "them, add it with Locations > Add a new location... (the stored settings are left as they are)."
else
  echo "First start: Velmora shows its own folder, the demo folder, as its one location."
fi

if [ -z "${VELMORA_DEMO_ON_XVFB:-}" ]; then
  echo "Starting Velmora on display $DISPLAY (Wine prefix $prefix); close it to end the demo."
else
  shot=$build/velmora-screenshot.png
  echo "Starting Velmora on a virtual display (Wine prefix $prefix)."
  echo "A screenshot is written to $shot every 15 seconds; press Ctrl+C to stop."
fi
# In the background, so that Ctrl+C or a kill of this script ends the demo at once (a trap waits
# for a command in the foreground to end).
setsid "$root/tools/wine-run.sh" "$prefix" "$demo/Velmora.exe" >"$build/velmora.log" 2>&1 &
app_pid=$!
# Whoever ends Velmora, even a kill -9 of this script, the simulator and the prefix's helpers end
# with it: a watcher in a session of its own.
setsid bash -c 'while kill -0 "$1" 2>/dev/null; do sleep 1; done; kill -- "-$2" 2>/dev/null; bash "$3" "$4" "$4"' \
  watch "$app_pid" "$sim_pid" "$root/tools/wine-end.sh" "$prefix" >/dev/null 2>&1 </dev/null &
while kill -0 "$app_pid" 2>/dev/null; do
  sleep 15 &
  sleeper=$!
  # Back when Velmora ends or the 15 s are over; a trapped Ctrl+C or kill ends the wait at once.
  wait -n "$app_pid" "$sleeper" 2>/dev/null || true
  kill "$sleeper" 2>/dev/null || true
  if [ -n "${VELMORA_DEMO_ON_XVFB:-}" ] && kill -0 "$app_pid" 2>/dev/null; then
    import -window root "$shot" 2>/dev/null && echo "screenshot: $shot"
  fi
done
app_pid=
echo "Velmora has ended; stopping the simulator."
