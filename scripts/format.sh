#!/usr/bin/env bash
# Formats C++ files by the layout in .clang-format (clang-format 14, as
# Debian 12 ships it; CLANG_FORMAT names another binary).
#
#   scripts/format.sh FILE...      rewrites the files given, in place
#   scripts/format.sh --check      lists the tracked .h/.cpp files that differ
#                                  from the layout; exits 1 when some do
#   scripts/format.sh --check FILE...   the same for the files given
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

tool=${CLANG_FORMAT:-}
if [[ -z $tool ]]; then
  if command -v clang-format-14 >/dev/null; then tool=clang-format-14; else tool=clang-format; fi
fi
if ! command -v "$tool" >/dev/null; then
  echo "format.sh: $tool not found (apt-get install clang-format-14)" >&2
  exit 2
fi

check=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
fi

if [[ $# -gt 0 ]]; then
  files=("$@")
elif [[ $check == 1 ]]; then
  cd "$root"
  mapfile -t files < <(git ls-files -- '*.h' '*.cpp')
else
  echo "usage: scripts/format.sh [--check] [FILE...]" >&2
  exit 2
fi

if [[ $check == 0 ]]; then
  exec "$tool" -i --style=file -- "${files[@]}"
fi

differ=0
for f in "${files[@]}"; do
  if ! "$tool" --dry-run --Werror --style=file -- "$f" >/dev/null 2>&1; then
    echo "$f"
    differ=$((differ + 1))
  fi
done
if [[ $differ -gt 0 ]]; then
  echo "format.sh: $differ of ${#files[@]} files differ from .clang-format" >&2
  exit 1
fi
