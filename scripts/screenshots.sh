#!/usr/bin/env bash
# Takes the dialog's pictures in docs/ from a real window on a virtual X display.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN="${BUILD_DIR:-build}/bin"
practice="$(mktemp -d)/praxis"
trap 'rm -rf "$(dirname "$practice")"' EXIT
"$BIN/kelvor-praxis" create "$practice" --seed 1 --patients 100 >/dev/null
shoot() {  # mode answer, picture, actions
  printf '{"answers": [%s], "screenshot": "%s", "actions": %s}\n' "$1" "$PWD/docs/$2" "$3" >"$practice/scenario.json"
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$BIN/kelvor-scenario" "$practice" "$practice/scenario.json" >/dev/null
}
mkdir -p docs
shoot 11 kelvor-owner-mode.png '[{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"}, {"check": 1009, "value": true}]'
shoot 10 kelvor-treater-mode.png '[{"checkItem": 1018, "index": 1, "value": true}, {"check": 1017, "value": true}]'
