#!/usr/bin/env bash
# Sets up a fresh machine, builds Kelvor and runs the whole test suite.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh "$@"
cd "${BUILD_DIR:-build}"
ctest --output-on-failure -j"$(nproc)"
