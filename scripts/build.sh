#!/usr/bin/env bash
# Configures and builds Kelvor into BUILD_DIR (default: build): every target, or only
# those named in BUILD_TARGETS (blank-separated). Extra arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Objects are shared between checkouts in different folders.
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" "${launcher[@]}" "$@" >/dev/null
targets=()
for target in ${BUILD_TARGETS:-}; do targets+=(--target "$target"); done
cmake --build "$BUILD_DIR" -j"$(nproc)" "${targets[@]}"
