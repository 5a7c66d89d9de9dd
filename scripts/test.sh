#!/usr/bin/env bash
# Sets up a fresh machine, builds, and runs every test: the logic tests once
# more under AddressSanitizer and UndefinedBehaviorSanitizer, then the whole
# suite under a virtual X display. Ends with ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh

# Fresh per-run folders: nothing of the user's desktop leaks into the tests.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/config" "$scratch/runtime" "$scratch/data"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime XDG_DATA_HOME=$scratch/data
export ALSOFT_DRIVERS=null
jobs=$(nproc)

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DRAVELLE_SANITIZE=ON -DRAVELLE_BENCHMARKS=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan -L '^none$' -j "$jobs" --output-on-failure

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --test-dir build -j "$jobs" --output-on-failure
