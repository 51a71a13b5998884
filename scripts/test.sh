#!/usr/bin/env bash
# Sets up, builds and runs every test: the main build (window tests under Xvfb),
# the ThreadSanitizer build of the threaded tests, and a bounded run of each fuzz target.
set -euo pipefail
cd "$(dirname "$0")/.."
ROOT=$(pwd)
JOBS=$(nproc)
FUZZ_SECONDS=${TVX_FUZZ_SECONDS:-60}

bash scripts/setup.sh

# Keep the tests away from the user's own options and ports.
export TVX_CONFIG_DIR="$ROOT/build/test-config"
mkdir -p "$TVX_CONFIG_DIR"

echo "== main build"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$JOBS"
echo "== tests"
xvfb-run -a -s "-screen 0 800x600x24" \
  ctest --test-dir build --output-on-failure -j "$JOBS" --timeout 300

echo "== real-input window tests under a window manager"
# The tests that send real X input (label "input") again, with openbox placing, activating
# and focusing the windows as a desktop does; one at a time, as they share the display.
xvfb-run -a -s "-screen 0 800x600x24" sh -c '
  openbox >/dev/null 2>&1 &
  wm=$!
  sleep 1
  ctest --test-dir build --output-on-failure -j 1 --timeout 300 -L input
  rc=$?
  kill "$wm" 2>/dev/null
  exit $rc'

echo "== ThreadSanitizer build of the threaded tests"
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTVX_SANITIZE=thread >/dev/null
cmake --build build-tsan -j "$JOBS"
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
  ctest --test-dir build-tsan --output-on-failure -j "$JOBS" -L tsan --no-tests=ignore --timeout 600

echo "== fuzz targets (${FUZZ_SECONDS}s each)"
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
echo "all test stages passed"
