#!/usr/bin/env bash
# Sets up a fresh machine, builds, and starts the game from the build tree.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup-deps.sh
scripts/build.sh build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
exec build/bin/RavelleGame "$@"
