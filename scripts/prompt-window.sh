#!/usr/bin/env bash
# Starts PROGRAM [ARGUMENT...] on a virtual X display of its own and waits until the
# password prompt (the window "Kennwort") is shown; prints how long that took from
# the start of this script, then ends the program. Fails when the program ends first
# or no prompt is up within PROMPT_TIMEOUT seconds (default 60).
set -euo pipefail
if [ -z "${PROMPT_WINDOW_START:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x800x24" env PROMPT_WINDOW_START="$(date +%s%N)" "$0" "$@"
fi
export QT_QPA_PLATFORM=xcb
"$@" &
program=$!
trap 'kill "$program" 2>/dev/null || true; wait "$program" 2>/dev/null || true' EXIT
deadline=$(($(date +%s) + ${PROMPT_TIMEOUT:-60}))
while [ "$(date +%s)" -lt "$deadline" ]; do
  if xwininfo -name Kennwort 2>/dev/null | grep -q 'Map State: IsViewable'; then
    elapsed_ms=$((($(date +%s%N) - PROMPT_WINDOW_START) / 1000000))
    printf 'Password prompt of %s up after %d.%03d s\n' "$1" $((elapsed_ms / 1000)) $((elapsed_ms % 1000))
    exit 0
  fi
  if ! kill -0 "$program" 2>/dev/null; then
    echo "$1 ended before its password prompt was shown" >&2
    exit 1
  fi
  sleep 0.1
done
echo "No password prompt of $1 within ${PROMPT_TIMEOUT:-60} s" >&2
exit 1
