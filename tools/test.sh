#!/usr/bin/env bash
# Builds every tree of Velmora and runs every test:
#   native (host g++), native under AddressSanitizer + UndefinedBehaviorSanitizer, the reading
#   threads' tests under ThreadSanitizer,
#   the libFuzzer targets (clang) for a short bounded time each,
#   the Windows build (MinGW-w64) with its tests under Wine on a virtual display.
# Installs the Debian packages it needs when they are missing (run as root on a fresh machine).
# Exits non-zero when anything fails to build or any test fails.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${VELMORA_BUILD_DIR:-$root/build}
fuzz_seconds=${VELMORA_FUZZ_SECONDS:-30}
jobs=$(nproc)

bash "$root/tools/setup-debian.sh" test || exit 1

failed_stages=()
passed_total=0
failed_total=0

stage() { printf '\n=== %s\n' "$*"; }

# Runs ctest, shows its output, and adds its counts to the totals.
run_ctest() {
  local name=$1
  shift
  local log
  log=$(mktemp)
  "$@" 2>&1 | tee "$log"
  local status=${PIPESTATUS[0]}
  local line
  line=$(grep -E 'tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
  if [ -n "$line" ]; then
    local total failed
    failed=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\1/' <<<"$line")
    total=$(sed -E 's/.* ([0-9]+) tests? failed out of ([0-9]+).*/\2/' <<<"$line")
    passed_total=$((passed_total + total - failed))
    failed_total=$((failed_total + failed))
  elif [ "$status" -ne 0 ]; then
    failed_total=$((failed_total + 1))
  fi
  rm -f "$log"
  [ "$status" -eq 0 ] || failed_stages+=("$name")
}

build_tree() {
  local name=$1 dir=$2
  shift 2
  if ! cmake -S "$root" -B "$dir" -G Ninja "$@" >"$dir.configure.log" 2>&1; then
    cat "$dir.configure.log"
    failed_stages+=("$name (configure)")
    return 1
  fi
  if ! ninja -C "$dir"; then
    failed_stages+=("$name (build)")
    return 1
  fi
}

mkdir -p "$build"

stage "Native build and tests"
if build_tree native "$build/native"; then
  run_ctest native ctest --test-dir "$build/native" -j "$jobs" --output-on-failure
fi

stage "Native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
if build_tree asan "$build/asan" -DVELMORA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug; then
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    run_ctest asan ctest --test-dir "$build/asan" -j "$jobs" --output-on-failure
fi

stage "The reading threads' tests under ThreadSanitizer"
# The work queue, the hand-over of answers and the tables they feed: the model tests, built with
# TSan (they also drive the probe that holds a folder from the test's own thread).
tsan="$build/tsan"
if cmake -S "$root" -B "$tsan" -G Ninja -DVELMORA_TSAN=ON -DCMAKE_BUILD_TYPE=Debug >"$tsan.configure.log" 2>&1 &&
    ninja -C "$tsan" monitor_model_tests; then
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 \
    run_ctest tsan ctest --test-dir "$tsan" -j "$jobs" --output-on-failure -R 'FolderReader|LateAnswer|FigureRequests|LocationTable|DeadFarm|NothingLost|SettingsPrefetch|HistoryThread|HistoryKeeper'
else
  [ -f "$tsan.configure.log" ] && tail -n 30 "$tsan.configure.log"
  failed_stages+=("tsan (build)")
fi

stage "Fuzz targets, ${fuzz_seconds} s each"
if CC=clang CXX=clang++ build_tree fuzz "$build/fuzz" -DVELMORA_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo; then
  for target in "$build"/fuzz/tests/fuzz/*_fuzz; do
    [ -x "$target" ] || continue
    name=$(basename "$target")
    corpus="$build/fuzz/corpus/$name"
    mkdir -p "$corpus"
    seeds="$root/tests/fuzz/seeds/${name%_fuzz}"
    args=("$corpus")
    [ -d "$seeds" ] && args+=("$seeds")
    echo "--- $name"
    if "$target" -max_total_time="$fuzz_seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        "${args[@]}" >"$build/fuzz/$name.log" 2>&1; then
      grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' "$build/fuzz/$name.log" | tail -n 2
      passed_total=$((passed_total + 1))
    else
      tail -n 60 "$build/fuzz/$name.log"
      failed_stages+=("fuzz $name")
      failed_total=$((failed_total + 1))
    fi
  done
fi

stage "Windows build and tests under Wine"
if build_tree windows "$build/windows" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake"; then
  # One virtual display for the GUI tests; they run one at a time so that focus and
  # activation belong to the test that expects them.
  # Its last entry, wine_processes_ended, ends the tree's Wine servers.
  run_ctest windows xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir "$build/windows" --output-on-failure
fi

stage "Nothing left running"
# Every Wine server and helper that the tests started has ended (the demo's prefix, beside the
# trees, is not the tests' business).
if bash "$root/tools/wine-end.sh" "$build/windows"; then
  echo "No Wine process of $build/windows is running."
  passed_total=$((passed_total + 1))
else
  failed_stages+=("Wine processes left running")
  failed_total=$((failed_total + 1))
fi

echo
if [ ${#failed_stages[@]} -eq 0 ]; then
  echo "Every stage passed."
else
  echo "Failed: ${failed_stages[*]}"
fi
echo "all: ${passed_total} passed, ${failed_total} failed"
[ ${#failed_stages[@]} -eq 0 ]
