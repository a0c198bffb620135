#!/usr/bin/env bash
# Takes the README's picture, docs/velmora.png: Velmora watching five client folders in
# different states. Everything runs in a throwaway Wine prefix inside the build folder (never
# build/wine-home, never ~/.wine), on a virtual display (Xvfb) when there is no display:
#   four folders laid out by the client simulator (a unit at 15 %, 62 % and 97 %, and a result
#   waiting to be sent), and one switched-off location whose folder does not exist;
#   Velmora's settings for them written into the prefix's registry, as Velmora stores them;
#   Velmora started, a row selected, the window alone cut out of the screen, Velmora closed.
# Usage: screenshot.sh [OUTPUT_PNG]   (default: docs/velmora.png)
# VELMORA_BUILD_DIR moves the build folder (the throwaway prefix lives there while the script
# runs), VELMORA_WINDOWS_TREE the Windows build tree (default: build/windows).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$root/build}
tree=${VELMORA_WINDOWS_TREE:-$build/windows}
output=$(realpath -m "${1:-$root/docs/velmora.png}")

if [ -z "${VELMORA_SCREENSHOT_ON_XVFB:-}" ]; then
  bash "$root/tools/setup-debian.sh" start
  cmake -S "$root" -B "$tree" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" >/dev/null
  ninja -C "$tree" Velmora velmora-client-sim velmora-window-probe
  if [ -z "${DISPLAY:-}" ]; then
    VELMORA_SCREENSHOT_ON_XVFB=1 exec xvfb-run -a -s "-screen 0 1024x768x24" bash "${BASH_SOURCE[0]}" "$output"
  fi
fi

work=$(mktemp -d "$build/screenshot.XXXXXX")
prefix=$work/wineprefix
app=$work/app
app_pid=
cleanup() {
  if [ -n "$app_pid" ]; then
    kill -- "-$app_pid" 2>/dev/null || true
  fi
  # Ends the Wine processes of the throwaway prefix only.
  if [ -d "$prefix" ]; then
    WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wine_run() {
  "$root/tools/wine-run.sh" "$prefix" "$@"
}

mkdir -p "$app"
cp "$tree/app/Velmora.exe" "$tree/app/index.html" "$app/"
app_win="Z:${app//\//\\}\\Velmora.exe"

# The client folders live on the prefix's drive C:, so the table shows Windows-like paths. The
# simulator gives its folders, in order, a unit at 15 %, 62 % and 97 % and a waiting result;
# cruncher-1, the table's first row (rows sort by path) and the one selected, gets the 62 %.
sim_folders=('C:\SETI\cruncher-1' 'C:\SETI\cruncher-2' 'C:\SETI\cruncher-3' 'C:\SETI\cruncher-4')
sim_order=("${sim_folders[1]}" "${sim_folders[0]}" "${sim_folders[2]}" "${sim_folders[3]}")
missing_folder='C:\SETI\old-laptop'

# Velmora's settings, one string value per entry, exactly as it stores them.
registry=$work/velmora.reg
reg_text() {
  local text=${1//\\/\\\\}
  echo "\"$text\""
}
{
  echo 'Windows Registry Editor Version 5.00'
  echo
  echo '[HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora\Layout]'
  for entry in FormWidth=600 FormHeight=310 FormTop=0 FormLeft=0 WindowState=1 \
      Col0=250 Col1=56 Col2=36 Col3=36 Col4=36 Col5=120; do
    echo "\"${entry%%=*}\"=\"${entry#*=}\""
  done
  echo
  echo '[HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora\Locations]'
  echo '"Count"="5"'
  index=0
  for folder in "${sim_folders[@]}"; do
    printf '"Location%04d"=%s\n' "$index" "$(reg_text "$folder,1")"
    index=$((index + 1))
  done
  printf '"Location%04d"=%s\n' "$index" "$(reg_text "$missing_folder,0")"
  echo
  echo '[HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora\Interface]'
  echo '"tlbMain"="1"'
  echo '"pnlStats"="1"'
  echo '"sttBar"="1"'
  echo
  echo '[HKEY_CURRENT_USER\SOFTWARE\Tarnek\Velmora\Defaults]'
  echo '"PollInterval"="15"'
} >"$registry"

echo "Preparing the throwaway prefix $prefix"
# Wine draws the window frames itself (no window manager runs on the virtual display): the
# picture then shows the title bar.
export VELMORA_UNMANAGED_WINDOWS=1
wine_run reg import "Z:${registry//\//\\}" >/dev/null
# Debian's Wine does not find the fonts it brings (Marlett draws the caption buttons, Tahoma
# and MS Sans Serif the texts); from the prefix's own font folder it loads them.
if [ -d /usr/share/wine/fonts ]; then
  cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/"
fi
wine_run reg query 'HKCU\SOFTWARE\Tarnek\Velmora\Locations' | tr -d '\r' | grep Location

# Four-hour units. The simulator lays out the four folders and stops after its first step, so
# that no folder changes, or is caught half-written, while the picture is taken.
mkdir -p "$prefix/drive_c/SETI"
wine_run "$tree/tools/velmora-client-sim.exe" --speed 0.1 --seconds 1 --unit-cpu 14400 "${sim_order[@]}"

setsid "$root/tools/wine-run.sh" "$prefix" "$app/Velmora.exe" >"$work/velmora.log" 2>&1 &
app_pid=$!
probe_log=$work/probe.log
wine_run "$tree/tests/package/velmora-window-probe.exe" --keep-open --select-first-row "$app_win" | tee "$probe_log"
rect=$(sed -n 's/^rect=//p' "$probe_log" | tr -d '\r')
IFS=, read -r left top width height <<<"$rect"
[ -n "${height:-}" ] || { echo "Velmora's window was not found." >&2; exit 1; }

# Let the selection's figures and a timer refresh land before the picture is taken.
sleep 16
mkdir -p "$(dirname "$output")"
import -window root -crop "${width}x${height}+${left}+${top}" +repage -strip "$output"
echo "Wrote $output (${width}x${height})"

wine_run "$tree/tests/package/velmora-window-probe.exe" "$app_win"
