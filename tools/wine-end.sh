#!/usr/bin/env bash
# Ends the Wine servers of the given prefixes, with every program and helper process of theirs
# (explorer, services, winedevice...), then checks that nothing which runs with a Wine prefix
# inside FOLDER is left. Whatever is left is listed and the exit status is 1; it is not ended,
# since it may belong to someone else's run in the same folder.
# Usage: wine-end.sh FOLDER [PREFIX...]
# With no PREFIX it only checks: the end of a test run, where every script should already have
# ended what it started.
set -uo pipefail
folder=$(realpath -m "$1")
shift
export WINEDEBUG=-all

# Process ids whose environment gives a WINEPREFIX equal to FOLDER or inside it, each with its
# prefix. A process started with that environment keeps it, so Wine's helper processes, which
# the server starts for the prefix, show it too.
prefix_processes() {
  local file prefix pid state
  grep -zsH '^WINEPREFIX=' /proc/[0-9]*/environ | tr '\0' '\n' |
    while IFS= read -r line; do
      file=${line%%:WINEPREFIX=*}
      prefix=$(realpath -m "${line#*:WINEPREFIX=}")
      case "$prefix/" in
        "$folder"/*) ;;
        *) continue ;;
      esac
      pid=${file#/proc/}
      pid=${pid%/environ}
      # A zombie is no process any more; its parent has only not collected it yet.
      state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null) || continue
      [ -n "$state" ] && [ "$state" != Z ] && echo "$pid $prefix"
    done
}

# Waits up to `seconds` for the processes inside FOLDER to end; true when none is left.
none_left_within() {
  local seconds=$1 i
  for ((i = 0; i < seconds * 4; i++)); do
    [ -z "$(prefix_processes)" ] && return 0
    sleep 0.25
  done
  [ -z "$(prefix_processes)" ]
}

for prefix in "$@"; do
  WINEPREFIX=$prefix wineserver -k >/dev/null 2>&1 || true
done
none_left_within 10 && exit 0

echo "Wine processes with a prefix inside $folder are still running:" >&2
while read -r pid prefix; do
  echo "  pid $pid (prefix $prefix): $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null)" >&2
done < <(prefix_processes)
exit 1
