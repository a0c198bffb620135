#!/usr/bin/env bash
# The monitor window over a client folder on a share that answers slowly, or not at all: a FUSE
# file system (tools/slow_share.py) delays every call, and gui_tests' SlowShare cases run under
# Wine with one location behind it beside local ones.
# Usage: slow_share_test.sh WORK_DIR SOURCE_DIR PREFIX GUI_TESTS_EXE DELAY_SECONDS [slow|dead|farm]
# "dead": the share takes longer to answer than the test runs; "farm": so does a share with 100
# client folders on it, seen also as 100 servers of one folder each and as a NAS on the local
# folders' drive with one folder per host. Exits 77 (skipped) where FUSE
# cannot mount; whatever it mounted and started is gone when it ends, on every path.
set -uo pipefail
work=$(realpath -m "$1")
source_dir=$2
prefix=$3
exe=$4
delay=$5
mode=${6:-slow}
python=/usr/bin/python3  # Debian's fusepy is installed for this interpreter only
share_fs=$source_dir/tools/slow_share.py

skip() {
  echo "SKIPPED: FUSE cannot mount here: $*"
  exit 77
}

fs_pids=()
mounts=()
end_shares() {
  local mount pid i
  for mount in "${mounts[@]}"; do
    grep -qs " $mount fuse" /proc/mounts && fusermount3 -u -z "$mount" 2>/dev/null
  done
  for pid in "${fs_pids[@]}"; do
    kill -TERM "$pid" 2>/dev/null || continue
    for ((i = 0; i < 50; i++)); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  fs_pids=()
  mounts=()
}
trap end_shares EXIT
trap 'exit 130' INT TERM HUP

# Mounts SOURCE at MOUNT with every call delayed; false (with the reason in $mount_error) when
# the mount does not appear.
mount_share() {
  local source=$1 mount=$2 seconds=$3 log=$work/$(basename "$2").log i
  mkdir -p "$mount"
  "$python" "$share_fs" "$source" "$mount" "$seconds" >"$log" 2>&1 &
  fs_pids+=($!)
  mounts+=("$mount")
  for ((i = 0; i < 100; i++)); do
    grep -qs " $mount fuse" /proc/mounts && return 0
    if ! kill -0 "${fs_pids[-1]}" 2>/dev/null; then
      mount_error="slow_share.py ended: $(tail -n 3 "$log" | tr '\n' ' ')"
      return 1
    fi
    sleep 0.1
  done
  mount_error="no mount at $mount after 10 s"
  return 1
}

[ -c /dev/fuse ] || skip "there is no /dev/fuse"
command -v fusermount3 >/dev/null || skip "fusermount3 is missing (Debian package fuse3)"
"$python" -c 'import fusepy' 2>/dev/null ||
  skip "$python cannot import fusepy (Debian package python3-fusepy; tools/setup-debian.sh test installs it)"

rm -rf "$work"
mkdir -p "$work/probe-source" "$work/source/slow"
echo probe >"$work/probe-source/probe"
if ! mount_share "$work/probe-source" "$work/probe" 0; then
  skip "$mount_error"
fi
[ "$(cat "$work/probe/probe" 2>/dev/null)" = probe ] || skip "a file on a test mount cannot be read"
end_shares

printf 'prog=0.5\ncpu=60\n' >"$work/source/slow/state.sah"
echo unit >"$work/source/slow/work_unit.sah"
if [ "$mode" = farm ]; then
  for i in $(seq -f '%03g' 0 99); do
    for folder in "farm/m$i" "nas/host$i/seti"; do
      mkdir -p "$work/source/$folder"
      printf 'prog=0.5\ncpu=60\n' >"$work/source/$folder/state.sah"
      echo unit >"$work/source/$folder/work_unit.sah"
    done
  done
fi
mount_share "$work/source" "$work/share" "$delay" || {
  echo "FAILED: the share did not mount although a test mount did: $mount_error"
  exit 1
}

# Wine shows the Unix root as drive Z:.
windows_path="Z:$(tr / '\\' <<<"$work/share/slow")\\"
dead=0
[ "$mode" = dead ] && dead=1
share_env=(VELMORA_SLOW_SHARE="$windows_path" VELMORA_SLOW_SHARE_DEAD=$dead)
if [ "$mode" = farm ]; then
  # The farm's folders by the drive path and by a UNC path, which Wine resolves through a link
  # in the prefix's dosdevices/unc.
  # Each of 100 servers \\farmNNN shares its own client folder as seti, all on the same mount.
  unc_links=("$prefix/dosdevices/unc/deadnas/farm")
  mkdir -p "$prefix/dosdevices/unc/deadnas"
  ln -sfn "$work/share/farm" "${unc_links[0]}"
  for i in $(seq -f '%03g' 0 99); do
    mkdir -p "$prefix/dosdevices/unc/farm$i"
    ln -sfn "$work/share/farm/m$i" "$prefix/dosdevices/unc/farm$i/seti"
    unc_links+=("$prefix/dosdevices/unc/farm$i/seti")
  done
  trap 'rm -f "${unc_links[@]}"; end_shares' EXIT
  share_env=(VELMORA_DEAD_FARM="Z:$(tr / '\\' <<<"$work/share/farm")" 'VELMORA_DEAD_FARM_UNC=\\deadnas\farm'
             VELMORA_DEAD_NAS="Z:$(tr / '\\' <<<"$work/share/nas")" VELMORA_DEAD_SERVERS=100)
  windows_path="100 folders below Z:$(tr / '\\' <<<"$work/share/farm") and \\\\deadnas\\farm, 100 servers \\\\farmNNN\\seti, 100 NAS folders"
fi
echo "Share: $windows_path, every call delayed ${delay} s ($mode)"
out=$work/gui_tests.out
started=$(date +%s.%N)
status=0
env VELMORA_UNMANAGED_WINDOWS=1 TZ=UTC "${share_env[@]}" \
  bash "$source_dir/tools/wine-run.sh" "$prefix" "$exe" --gtest_filter='MainWindowTest.SlowShare*' >"$out" 2>&1 ||
  status=$?
ended=$(date +%s.%N)
cat "$out"
awk -v a="$started" -v b="$ended" -v s="$status" 'BEGIN { printf "gui_tests ran %.1f s and ended with status %d\n", b - a, s }'
[ "$status" -eq 0 ] || exit 1
# The case for this share must have run, not been skipped.
if ! grep -q '^\[       OK \] MainWindowTest.SlowShare' "$out"; then
  echo "FAILED: no SlowShare case ran for this share"
  exit 1
fi
exit 0
