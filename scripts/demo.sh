#!/usr/bin/env bash
# Sets up a fresh machine, builds what the demo runs (the program, its password
# library, the practice tool), creates the demo practice (password "kelvor") and opens
# Kelvor on it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
BUILD_TARGETS="kelvor vqstddia kelvor-praxis" scripts/build.sh
BIN="${BUILD_DIR:-build}/bin"
if [ ! -f demo/vqparams.ini ]; then
  "$BIN/kelvor-praxis" create demo --seed 1 --patients 500 --password kelvor
fi
export VQ_PRAXIS="$PWD/demo"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: opening Kelvor on a virtual one (xvfb-run)." >&2
  exec xvfb-run -a "$BIN/kelvor"
fi
exec "$BIN/kelvor"
