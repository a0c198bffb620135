#!/usr/bin/env bash
# The portable package, as a user gets it: cpack writes the zip, which must hold exactly the
# expected files and a Velmora.exe that imports nothing but Windows' own DLLs; unpacked into an
# empty folder, and copied alone into another, Velmora.exe must start under Wine, show its main
# window with its title, and end with exit code 0 when that window is closed.
#
# Usage: package_test.sh BUILD_DIR SOURCE_DIR PROBE_EXE OBJDUMP CPACK VERSION
# Everything it makes (the zip, the unpacked copies, a fresh Wine prefix) lives in a temporary
# folder inside BUILD_DIR and is removed at the end, also when a check fails.
set -euo pipefail

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

build=$1
root=$2
probe=$3
objdump=$4
cpack=$5
version=$6
name=velmora-$version-win64
wait_seconds=30

# The zip's exact contents; README.md shows docs/velmora.png, so the picture goes with it.
expected_files=(
  "$name/LICENSE"
  "$name/README.md"
  "$name/Velmora.exe"
  "$name/docs/velmora.png"
  "$name/index.html"
)
# DLLs that come with every Windows; anything else would have to be shipped beside the exe.
system_dlls=(advapi32.dll comctl32.dll comdlg32.dll gdi32.dll imm32.dll kernel32.dll msvcrt.dll ole32.dll
  oleaut32.dll shell32.dll shlwapi.dll user32.dll uxtheme.dll version.dll winmm.dll)

mkdir -p "$build/tests/package"
work=$(mktemp -d "$build/tests/package/run.XXXXXX")
prefix=$work/wineprefix
app_pid=

cleanup() {
  if [ -n "$app_pid" ] && kill -0 "$app_pid" 2>/dev/null; then
    kill "$app_pid" 2>/dev/null || true
  fi
  # Ends every Wine process of this test's own prefix, and nothing else, and waits until they
  # are gone; one that stays fails the test.
  local status=0
  if [ -d "$prefix" ]; then
    bash "$root/tools/wine-end.sh" "$prefix" "$prefix" || status=1
  fi
  rm -rf "$work"
  [ "$status" -eq 0 ] || exit 1
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The probe runs in the program's prefix, so that both talk to one wineserver.
probe() {
  VELMORA_UNMANAGED_WINDOWS=1 "$root/tools/wine-run.sh" "$prefix" "$probe" "$@"
}

# The probe's checks must be able to fail: with a wrong expectation it has to say no.
probe_must_refuse() {
  local what=$1
  shift
  local output
  if output=$(probe "$@" 2>&1); then
    fail "the probe $what"
  fi
  echo "probe refused, as it should: ${output##*FAIL: }"
}

# What a start that showed no window left behind: every process of the test's prefix with its
# state and the kernel call it waits in, so that a rare failure can be told apart afterwards.
show_prefix_processes() {
  local environ pid
  echo "--- processes of $prefix"
  for environ in /proc/[0-9]*/environ; do
    grep -qszx "WINEPREFIX=$prefix" "$environ" || continue
    pid=${environ#/proc/}
    ps -o pid=,stat=,wchan:32=,args= -p "${pid%/environ}" || true
  done
}

windows_path() {
  local path=$1
  echo "Z:${path//\//\\}"
}

# Starts EXE from its folder, proves that its window came up and closes it. The wrong-window
# checks show that the probe tells this program's window from any other.
start_and_check() {
  local exe=$1 with_negative_checks=$2
  local exe_win
  exe_win=$(windows_path "$exe")
  echo "--- starting $exe"
  (cd "$(dirname "$exe")" && VELMORA_UNMANAGED_WINDOWS=1 exec "$root/tools/wine-run.sh" "$prefix" "$exe") \
    >"$work/velmora.log" 2>&1 &
  app_pid=$!

  if ! probe --timeout "$wait_seconds" --keep-open "$exe_win"; then
    show_prefix_processes
    fail "Velmora's window did not come up"
  fi
  if [ "$with_negative_checks" = yes ]; then
    probe_must_refuse "found a window of a class no program registers" \
      --timeout 1 --keep-open --class TfrmNoSuchWindow "$exe_win"
    probe_must_refuse "accepted a title that does not start as required" \
      --timeout 1 --keep-open --title-prefix "Velmora x." "$exe_win"
    probe_must_refuse "took the window of a program started from another path" \
      --timeout 1 --keep-open "$(windows_path "$work/elsewhere/Velmora.exe")"
  fi
  probe --timeout "$wait_seconds" "$exe_win" || fail "closing Velmora did not end it with exit code 0"

  local waited=0
  while kill -0 "$app_pid" 2>/dev/null; do
    [ "$waited" -lt "$wait_seconds" ] || fail "Velmora's Wine process did not end"
    sleep 1
    waited=$((waited + 1))
  done
  local status=0
  wait "$app_pid" || status=$?
  app_pid=
  [ "$status" -eq 0 ] || fail "Velmora.exe ended with status $status (log: $(cat "$work/velmora.log"))"
  echo "Velmora.exe started from $(dirname "$exe") and ended with status 0"
}

echo "--- cpack"
"$cpack" --config "$build/CPackConfig.cmake" -B "$work/cpack" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; fail "cpack failed"; }
zip=$work/cpack/$name.zip
[ -f "$zip" ] || fail "cpack did not write $name.zip: $(ls "$work/cpack")"

echo "--- contents of $name.zip"
actual=$(unzip -Z1 "$zip" | grep -v '/$' | LC_ALL=C sort)
expected=$(printf '%s\n' "${expected_files[@]}" | LC_ALL=C sort)
echo "$actual"
[ "$actual" = "$expected" ] || fail "the zip holds other files; expected:"$'\n'"$expected"

unpacked=$work/unpacked
mkdir -p "$unpacked"
unzip -q "$zip" -d "$unpacked"
for file in LICENSE README.md index.html; do
  source_file=$root/$file
  [ "$file" = index.html ] && source_file=$root/app/index.html
  cmp -s "$source_file" "$unpacked/$name/$file" || fail "$file in the zip differs from $source_file"
done
cmp -s "$root/docs/velmora.png" "$unpacked/$name/docs/velmora.png" || fail "docs/velmora.png differs"
exe=$unpacked/$name/Velmora.exe

echo "--- DLLs imported by Velmora.exe"
imports=$("$objdump" -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr '[:upper:]' '[:lower:]')
echo "$imports"
grep -qx kernel32.dll <<<"$imports" || fail "objdump listed no imports of Velmora.exe"
while read -r dll; do
  printf '%s\n' "${system_dlls[@]}" | grep -qxF "$dll" || fail "Velmora.exe needs $dll, which Windows does not bring"
done <<<"$imports"

start_and_check "$exe" yes

alone=$work/alone
mkdir -p "$alone"
cp "$exe" "$alone/"
[ "$(ls -A "$alone")" = Velmora.exe ] || fail "the folder for the lone Velmora.exe is not empty"
start_and_check "$alone/Velmora.exe" no

echo "package test passed"
