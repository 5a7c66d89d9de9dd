#!/usr/bin/env bash
# Sets up a fresh machine, checks the layout of the C++ files, builds,
# and runs every test: the whole suite once
# more under AddressSanitizer, LeakSanitizer and UndefinedBehaviorSanitizer
# (the display tests under a virtual X display), every fuzz target for a
# short while, then the whole suite under a virtual X display. Ends with
# ctest's summary.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
# The layout, before anything is built: the tree is formatted, so every
# tracked C++ file is held to it whole, the ones a change touched among them.
scripts/format.sh --check --all

# Fresh per-run folders: nothing of the user's desktop leaks into the tests.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -m 700 "$scratch/config" "$scratch/runtime" "$scratch/data"
export XDG_CONFIG_HOME=$scratch/config XDG_RUNTIME_DIR=$scratch/runtime XDG_DATA_HOME=$scratch/data
export ALSOFT_DRIVERS=null
jobs=$(nproc)

scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DRAVELLE_SANITIZE=ON -DRAVELLE_BENCHMARKS=OFF
export ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1
ctest --test-dir build-asan -L '^none$' -j "$jobs" --output-on-failure
# The display tests: leaks that libraries keep until exit are suppressed
# (tests/lsan.supp); Mesa's driver is preloaded so that it is still loaded
# when the leak check runs (after the sanitizer runtime, which comes first).
# The dynamic TLS of libraries loaded at run time is not tracked: the leak
# check then reads a bogus block of it and crashes now and then.
mesa_driver=$(find /usr/lib -name swrast_dri.so -print -quit)
ASAN_OPTIONS=$ASAN_OPTIONS:intercept_tls_get_addr=0 \
LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0 \
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  env LD_PRELOAD="$(g++ -print-file-name=libasan.so) $mesa_driver" \
  ctest --test-dir build-asan -L 'offscreen|x11' -j "$jobs" --output-on-failure
unset ASAN_OPTIONS UBSAN_OPTIONS

# Every reader of outside files, fuzzed briefly so a regression shows.
tests/fuzz/build.sh build-fuzz 20 "$jobs"

scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
  ctest --test-dir build -j "$jobs" --output-on-failure
