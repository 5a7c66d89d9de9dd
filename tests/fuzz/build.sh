#!/bin/sh
# Builds the wave-reader fuzzer with clang (libFuzzer + AddressSanitizer +
# UndefinedBehaviorSanitizer) into <out> (default: build-fuzz beside the
# sources) and, given a time in seconds, runs it that long:
#   tests/fuzz/build.sh [out-folder] [seconds]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz}
seconds=${2:-}
mkdir -p "$out/corpus"
clang++ -std=c++20 -g -O1 -Wall -Wextra -ffp-contract=off \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" \
  "$root/tests/fuzz/wave_reader_fuzz.cpp" "$root/sound/wave_file.cpp" \
  -o "$out/wave_reader_fuzz"
# Seed corpus: the checked-in test waves.
cp "$root"/tests/sound/data/*.wav "$out/corpus/" 2>/dev/null || true
echo "built $out/wave_reader_fuzz"
if [ -n "$seconds" ]; then
  "$out/wave_reader_fuzz" -max_total_time="$seconds" -max_len=4096 "$out/corpus"
fi
