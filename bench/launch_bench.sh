#!/usr/bin/env bash
# Runs gui_launch_bench under Wine in a throwaway prefix inside the build folder, on a virtual
# display when there is none, and ends that prefix's Wine processes afterwards.
# Usage: bench/launch_bench.sh [BUILD_TREE=build/windows] [runs] [sizes]
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tree=$(realpath "${1:-$root/build/windows}")
shift || true
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "${BASH_SOURCE[0]}" "$tree" "$@"
fi
ninja -C "$tree" -j2 gui_launch_bench launch_bare_window launch_controls_window Velmora >/dev/null
work=$(mktemp -d "$tree/launch-bench.XXXXXX")
prefix=$work/wineprefix
cleanup() {
  bash "$root/tools/wine-end.sh" "$work" "$prefix" || true
  rm -rf "$work" "$prefix.lock"
}
trap cleanup EXIT
trap 'exit 130' INT TERM
VELMORA_UNMANAGED_WINDOWS=1 "$root/tools/wine-run.sh" "$prefix" "$tree/bench/gui_launch_bench.exe" "$@"
