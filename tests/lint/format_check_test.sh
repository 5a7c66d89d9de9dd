#!/usr/bin/env bash
# scripts/format.sh --check holds the changes since main to the layout: a
# badly laid-out line in a committed change, in a change not yet committed
# and in a new file not yet added to git all fail it; an ignored file does
# not. Runs in a scratch repository with the tree's .clang-format.
# Usage: format_check_test.sh <source tree> <scratch folder>
# Exits 77 (skipped) without git or clang-format.
set -euo pipefail
root=$1
work=$2
tool=${CLANG_FORMAT:-clang-format-14}
command -v "$tool" >/dev/null || tool=clang-format
command -v git >/dev/null && command -v "$tool" >/dev/null || exit 77
export CLANG_FORMAT=$tool

rm -rf "$work"
mkdir -p "$work/scripts"
cp "$root/scripts/format.sh" "$work/scripts/"
cp "$root/.clang-format" "$work/"
cd "$work"
git init -q -b main .
git config user.email check@example.invalid
git config user.name check
printf 'build/\n' >.gitignore
printf 'int Good() { return 1; }\n' >good.cpp
git add -A
git commit -q -m base
git checkout -q -b change

bad='int   Bad( ) {return 2;}'
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
# Answers whether the check passes; its list goes to check.out.
check() { scripts/format.sh --check >check.out 2>&1; }

check || fail "a clean change fails: $(cat check.out)"

mkdir -p build
printf '%s\n' "$bad" >build/ignored.cpp
check || fail "an ignored file is checked: $(cat check.out)"

printf '%s\n' "$bad" >new.cpp
check && fail "a new file not added to git passes"
grep -qx new.cpp check.out || fail "the new file is not named: $(cat check.out)"
"$tool" -i --style=file new.cpp
check || fail "the new file, formatted, still fails: $(cat check.out)"
rm new.cpp

printf '%s\n' "$bad" >>good.cpp
check && fail "a change not yet committed passes"
git commit -q -am "bad line"
check && fail "a committed change passes"
grep -qx good.cpp check.out || fail "the changed file is not named: $(cat check.out)"
echo "format.sh --check: new, uncommitted and committed changes are held to the layout"
