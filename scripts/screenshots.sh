#!/usr/bin/env bash
# Takes the dialog's pictures in docs/ from a real window on a virtual X display:
# the two modes, the window during a run, the confirmation with its trial and the
# German question after a run.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN="${BUILD_DIR:-build}/bin"
scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
"$BIN/kelvor-praxis" create "$scratch/original" --seed 1 --patients 100 >/dev/null
shoot() {  # answers, picture, actions, further scenario fields
  rm -rf "$scratch/praxis"
  cp -a "$scratch/original" "$scratch/praxis"   # every picture on the practice as created
  printf '{"answers": [%s], "screenshot": "%s", "actions": %s%s}\n' "$1" "$PWD/docs/$2" "$3" "${4:-}" >"$scratch/scenario.json"
  QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 1280x800x24" "$BIN/kelvor-scenario" "$scratch/praxis" "$scratch/scenario.json" >/dev/null
  test -s "docs/$2"
}
run='[{"select": 1001, "text": "04"}, {"select": 1002, "text": "01"}, {"check": 1011, "value": true}, {"check": 1009, "value": true}, {"click": 1003}]'
mkdir -p docs
shoot 11 kelvor-owner-mode.png '[{"select": 1001, "text": "02"}, {"select": 1002, "text": "01"}, {"check": 1009, "value": true}]'
shoot 10 kelvor-treater-mode.png '[{"checkItem": 1018, "index": 1, "value": true}, {"check": 1017, "value": true}]'
shoot 11,10,7 kelvor-during-run.png "$run" ', "screenshotAt": {"statement": '"${RUN_STATEMENT:-60}"'}'
shoot 11,10,7 kelvor-nochmal.png "$run" ', "screenshotAt": {"message": "Nochmal?"}'
shoot 11,11 kelvor-probelauf.png "$run" ', "screenshotAt": {"message": "Soll der Löschvorgang jetzt gestartet werden?"}'
