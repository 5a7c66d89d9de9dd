#!/usr/bin/env bash
# Formats C++ files by the layout in .clang-format (clang-format 14, as
# Debian 12 ships it; CLANG_FORMAT names another binary).
#
#   scripts/format.sh FILE...           rewrites the files given, in place
#   scripts/format.sh --check           checks the lines of .h/.cpp files
#                                       changed against a base (below); exits
#                                       1 and lists the files when some of
#                                       those lines differ from the layout
#   scripts/format.sh --check --all     the same for every tracked .h/.cpp
#                                       file, whole
#   scripts/format.sh --check FILE...   the same for the files given, whole
#
# The base: $FORMAT_BASE when set, else where HEAD left main (origin/main
# when there is no local main), else HEAD~. Changes not yet committed count
# as changed, and a new file not yet added to git (not ignored) is checked
# whole. Only changed lines are checked, so a change is held to the layout
# without reformatting the rest of the files it touches.
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
all=0
if [[ ${1:-} == --check ]]; then
  check=1
  shift
  if [[ ${1:-} == --all ]]; then
    all=1
    shift
  fi
fi

# Checks one file, or only `--lines=a:b` ranges of it when given after it.
differs() {
  local f=$1
  shift
  ! "$tool" --dry-run --Werror --style=file "$@" -- "$f" >/dev/null 2>&1
}

# The base the changed lines are counted from.
find_base() {
  if [[ -n ${FORMAT_BASE:-} ]]; then
    git rev-parse --verify -q "$FORMAT_BASE^{commit}" || {
      echo "format.sh: no such commit: $FORMAT_BASE" >&2
      exit 2
    }
    return
  fi
  local main
  for main in main origin/main; do
    if git rev-parse --verify -q "$main^{commit}" >/dev/null; then
      git merge-base HEAD "$main"
      return
    fi
  done
  git rev-parse --verify -q 'HEAD~^{commit}' || git hash-object -t tree /dev/null
}

# "file --lines=a:b --lines=c:d ..." per changed file, one a line, from the
# added side of a zero-context diff.
changed_lines() {
  git diff -U0 --no-color --no-ext-diff --diff-filter=ACMR "$1" -- '*.h' '*.cpp' | awk '
    function flush() { if (file != "" && ranges != "") print file ranges; ranges = "" }
    /^\+\+\+ / { flush(); file = substr($0, 7); next }
    /^@@ / {
      split($3, added, ","); start = substr(added[1], 2); count = (2 in added) ? added[2] : 1
      if (count > 0) ranges = ranges " --lines=" start ":" (start + count - 1)
    }
    END { flush() }'
}

# The .h/.cpp files git does not track yet and does not ignore: all new.
new_files() {
  git ls-files --others --exclude-standard -- '*.h' '*.cpp'
}

if [[ $check == 0 ]]; then
  if [[ $# -eq 0 ]]; then
    echo "usage: scripts/format.sh [--check [--all]] [FILE...]" >&2
    exit 2
  fi
  exec "$tool" -i --style=file -- "$@"
fi

differ=0
checked=0
if [[ $# -gt 0 || $all == 1 ]]; then
  if [[ $# -gt 0 ]]; then
    files=("$@")
  else
    cd "$root"
    mapfile -t files < <(git ls-files -- '*.h' '*.cpp')
  fi
  for f in "${files[@]}"; do
    checked=$((checked + 1))
    if differs "$f"; then
      echo "$f"
      differ=$((differ + 1))
    fi
  done
else
  cd "$root"
  base=$(find_base)
  while read -r f ranges; do
    checked=$((checked + 1))
    # shellcheck disable=SC2086  # the ranges are one option each
    if differs "$f" $ranges; then
      echo "$f"
      differ=$((differ + 1))
    fi
  done < <(
    changed_lines "$base"
    new_files
  )
fi
if [[ $differ -gt 0 ]]; then
  echo "format.sh: $differ of $checked files differ from .clang-format" >&2
  exit 1
fi
