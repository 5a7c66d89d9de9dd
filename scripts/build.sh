#!/usr/bin/env bash
# Configures and builds one build tree: scripts/build.sh <folder> [cmake options]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
cmake -S . -B "$dir" "$@"
cmake --build "$dir" -j "$(nproc)"
