#!/usr/bin/env bash
# Sets up, builds and runs every test: the main build (window tests under Xvfb),
# the ThreadSanitizer build of the threaded tests, the AddressSanitizer build of every test,
# and a bounded run of each fuzz target (all at once, one core each).
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=$(nproc)
FUZZ_SECONDS=${TVX_FUZZ_SECONDS:-60}

# Each stage's heading also says how long the stage before it took.
stage_start=$SECONDS
stage_name=""
stage() {
  if [ -n "$stage_name" ]; then echo "   ($stage_name: $((SECONDS - stage_start)) s)"; fi
  stage_name=$1
  stage_start=$SECONDS
  if [ -n "$1" ]; then echo "== $1"; fi
}

bash scripts/setup.sh

# Compiler cache entries that do not depend on where the tree was cloned: paths inside the tree
# are taken relative to the build folder.
export CCACHE_BASEDIR="$ROOT" CCACHE_NOHASHDIR=1

# Keep the tests away from the user's own options and ports.
export TVX_CONFIG_DIR="$ROOT/build/test-config"
mkdir -p "$TVX_CONFIG_DIR"

stage "main build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
stage "tests"
xvfb-run -a -s "-screen 0 800x600x24" \
  ctest --test-dir build --output-on-failure -j "$JOBS" --timeout 300

stage "real-input window tests under a window manager"
# The tests that send real X input (label "input") again, with openbox placing, activating
# and focusing the windows as a desktop does; one at a time, as they share the display.
xvfb-run -a -s "-screen 0 800x600x24" sh -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  # Until the manager names itself on the root window (a loaded machine starts it late).
  i=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" || [ $i -ge 100 ]; do
    sleep 0.1; i=$((i + 1))
  done
  ctest --test-dir build --output-on-failure -j 1 --timeout 300 -L input
  rc=$?
  kill "$wm" 2>/dev/null
  exit $rc'

stage "ThreadSanitizer build of the threaded tests"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVX_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$JOBS"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -j "$JOBS" -L tsan --no-tests=ignore --timeout 600

stage "AddressSanitizer and UndefinedBehaviorSanitizer build of every test"
# Leaks are reported (LeakSanitizer); the toolkit's own one-time allocations are suppressed by
# library in tests/sanitizer/lsan.supp. Undefined behaviour stops the test like a memory error.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVX_SANITIZE=address >/dev/null
cmake --build build-asan -j "$JOBS"
mkdir -p "$ROOT/build-asan/test-config"
TVX_CONFIG_DIR="$ROOT/build-asan/test-config" \
ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:detect_stack_use_after_return=0:strict_string_checks=0" \
LSAN_OPTIONS="suppressions=$ROOT/tests/sanitizer/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  xvfb-run -a -s "-screen 0 800x600x24" \
  ctest --test-dir build-asan --output-on-failure -j "$JOBS" --timeout 900

stage "fuzz targets (${FUZZ_SECONDS}s each)"
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVX_FUZZ=ON >/dev/null
cmake --build build-fuzz -j "$JOBS"
shopt -s nullglob
fuzzers=()
for f in build-fuzz/tests/*/fuzz_*; do
  [ -x "$f" ] && [ -f "$f" ] && fuzzers+=("$f")
done
pids=()
for f in "${fuzzers[@]}"; do
  name=$(basename "$f")
  corpus_seed="tests/fuzz/corpus/$name"
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  [ -d "$corpus_seed" ] && cp -n "$corpus_seed"/* "$work"/ 2>/dev/null || true
  UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1" \
  "$f" "$work" -max_total_time="$FUZZ_SECONDS" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 \
    -artifact_prefix="build-fuzz/$name-" >"build-fuzz/$name.log" 2>&1 &
  pids+=("$!:$name")
done
fail=0
for entry in "${pids[@]}"; do
  pid=${entry%%:*}; name=${entry#*:}
  if wait "$pid"; then
    echo "fuzz $name: ok ($(grep -o 'stat::number_of_executed_units: [0-9]*' "build-fuzz/$name.log" | tail -1))"
  else
    echo "fuzz $name: FAILED"; tail -n 40 "build-fuzz/$name.log"; fail=1
  fi
done
[ "$fail" -eq 0 ]
stage ""
echo "all test stages passed"
