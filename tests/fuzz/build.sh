#!/bin/sh
# Builds every libFuzzer target of tests/fuzz with clang (libFuzzer +
# AddressSanitizer + UndefinedBehaviorSanitizer, all libraries instrumented)
# into <out> (default: build-fuzz beside the sources) and, given a time in
# seconds, runs each target that long on its seed corpus, one after another
# (or <jobs> at a time). Ends with one line per target (runs, seconds,
# crashes) and fails when a target found a crash, a leak or a timeout:
#   tests/fuzz/build.sh [out-folder] [seconds-per-target] [jobs]
# Findings are in <out>/findings/<target>/, logs in <out>/logs/.
set -eu
root=$(cd "$(dirname "$0")/../.." && pwd)
out=${1:-$root/build-fuzz}
seconds=${2:-}
jobs=${3:-1}
# Every <name>_fuzz.cpp here is a target (each also listed in CMakeLists.txt);
# its seeds are in corpus/<name>.
targets=$(cd "$root/tests/fuzz" && ls -- *_fuzz.cpp | sed 's/\.cpp$//' | tr '\n' ' ')

CC=clang CXX=clang++ cmake -S "$root" -B "$out" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DRAVELLE_FUZZ=ON -DRAVELLE_SANITIZE=ON -DRAVELLE_BENCHMARKS=OFF >/dev/null
mkdir -p "$out/logs"
if ! cmake --build "$out" -j "$(nproc)" --target $targets >"$out/logs/build.log" 2>&1; then
  grep -E 'error|Error' "$out/logs/build.log" | head -40
  exit 1
fi
echo "built $targets in $out/bin"
[ -n "$seconds" ] || exit 0

# Seed corpora: the checked-in seeds and some product data. The working
# corpus grows in <out>/corpus/<target>.
seed() {  # seed <target> <files...>
  mkdir -p "$out/corpus/$1"
  t=$1
  shift
  for f in "$@"; do [ -f "$f" ] && cp "$f" "$out/corpus/$t/"; done
  return 0
}
for t in $targets; do
  name=${t%_fuzz}
  seed "$t" "$root"/tests/fuzz/corpus/"$name"/*
done
seed wave_reader_fuzz "$root"/tests/sound/data/*.wav
seed environment_fuzz "$root"/tests/fuzz/corpus/xml_reader/*
seed xml_reader_fuzz "$root"/tests/fuzz/corpus/environment/*
seed string_table_fuzz "$root"/resources/french/*.strings

max_len() {
  case $1 in
    texture_fuzz) echo 16384 ;;
    saved_game_fuzz) echo 65536 ;;
    xml_reader_fuzz|environment_fuzz) echo 8192 ;;
    *) echo 4096 ;;
  esac
}

# Extra options: the string table warns on stderr for every refused line.
options() {
  case $1 in
    string_table_fuzz) echo -close_fd_mask=2 ;;
    saved_game_fuzz) echo "-dict=$root/tests/fuzz/saved_game.dict" ;;
  esac
}

mkdir -p "$out/findings"
run() {  # run <target>: its log ends with libFuzzer's "Done <n> runs" line
  t=$1
  mkdir -p "$out/findings/$t"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$out/bin/$t" -max_total_time="$seconds" -max_len="$(max_len "$t")" -rss_limit_mb=2048 \
    -timeout=10 -print_final_stats=1 -artifact_prefix="$out/findings/$t/" $(options "$t") \
    "$out/corpus/$t" >"$out/logs/$t.log" 2>&1
}
running=0
for t in $targets; do
  ( if run "$t"; then s=0; else s=$?; fi; echo $s >"$out/logs/$t.status" ) &
  running=$((running + 1))
  if [ "$running" -ge "$jobs" ]; then
    wait
    running=0
  fi
done
wait

failed=0
for t in $targets; do
  status=$(cat "$out/logs/$t.status")
  runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1/p' "$out/logs/$t.log" | tail -1)
  secs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$out/logs/$t.log" | tail -1)
  crashes=$(find "$out/findings/$t" -type f | wc -l)
  echo "$t: ${runs:-?} runs in ${secs:-?} s, $crashes crashes (exit $status)"
  if [ "$status" -ne 0 ] || [ "$crashes" -ne 0 ]; then
    failed=1
    tail -40 "$out/logs/$t.log"
  fi
done
exit $failed
