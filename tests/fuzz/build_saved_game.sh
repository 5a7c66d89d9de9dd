#!/bin/sh
# Builds the saved-game reader fuzzer with clang (libFuzzer + AddressSanitizer
# + UndefinedBehaviorSanitizer) against Qt Core into <out> (default:
# build-fuzz beside the sources) and, given a time in seconds, runs it that
# long from a seed corpus of saved games made by the reader's own writer:
#   tests/fuzz/build_saved_game.sh [out-folder] [seconds]
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz}
seconds=${2:-}
corpus=$out/corpus-saved-game
mkdir -p "$corpus"
qt=$(pkg-config --cflags --libs Qt6Core)
# Qt is built with -fPIC and its headers want position-independent code.
clang++ -std=c++20 -g -O1 -Wall -Wextra -ffp-contract=off -fPIC \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$root" \
  "$root/tests/fuzz/saved_game_fuzz.cpp" "$root/game/saved_game.cpp" \
  $qt -o "$out/saved_game_fuzz"
cp "$root"/tests/fuzz/saved_game_corpus/*.rvpuzzle "$corpus/" 2>/dev/null || true
echo "built $out/saved_game_fuzz"
if [ -n "$seconds" ]; then
  "$out/saved_game_fuzz" -max_total_time="$seconds" -max_len=65536 -dict="$root/tests/fuzz/saved_game.dict" "$corpus"
fi
