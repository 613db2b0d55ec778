#!/usr/bin/env bash
# Runs the owner-run benchmark for each practice size (default 10000 100000) on
# SQLite and, unless --sqlite-only, on a throwaway PostgreSQL server; writes the
# table to docs/benchmark-results.md and the scaling chart (time per patient
# against practice size, both back ends) to docs/benchmark-scaling.png. A size
# followed by ":sqlite" or ":server" runs on that back end only, e.g.
#
#     scripts/bench.sh [--sqlite-only] [PATIENTS[:sqlite|:server]...]
#     scripts/bench.sh 10000 100000 1000000:sqlite
set -euo pipefail
cd "$(dirname "$0")/.."
backends=(sqlite server)
if [ "${1:-}" = "--sqlite-only" ]; then backends=(sqlite); shift; fi
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)

# The back ends of one size: those it names, else all of this run's.
backends_of() {
  case "$1" in
    *:sqlite | *:server) echo "${1#*:}" ;;
    *) echo "${backends[*]}" ;;
  esac
}
needs_server=""
for size in "${sizes[@]}"; do
  if [[ "$size" == *:* && "$size" != *:sqlite && "$size" != *:server ]]; then
    echo "scripts/bench.sh: $size: the back end after the colon is sqlite or server" >&2
    exit 2
  fi
  if [[ " $(backends_of "$size") " == *" server "* ]]; then needs_server=1; fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! command -v gnuplot >/dev/null; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends gnuplot-nox >/dev/null
fi
BUILD_DIR="${BUILD_DIR:-build}" scripts/build.sh >/dev/null

work="$(mktemp -d)"
chmod 755 "$work"   # a server started by root runs as postgres, inside this folder
cleanup() {
  if [ -n "${server_started:-}" ]; then scripts/pg-server.sh stop "$work/pg" >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
if [ -n "$needs_server" ] && [ -z "${KELVOR_TEST_SERVER:-}" ]; then
  KELVOR_TEST_SERVER="$(scripts/pg-server.sh start "$work/pg" | tail -n 1)"
  export KELVOR_TEST_SERVER
  server_started=1
fi

rows="$work/rows"
: >"$rows"
header=""
for size in "${sizes[@]}"; do
  read -r -a on <<<"$(backends_of "$size")"
  out="$("${BUILD_DIR:-build}/bin/bench_owner_run" "${size%%:*}" "${on[@]}")"
  header="$(head -n 2 <<<"$out")"
  tail -n +3 <<<"$out" | tee -a "$rows"
done

{
  echo "# Owner run: benchmark results"
  echo
  echo "Written by \`scripts/bench.sh ${*:-}\` on $(date -u +%Y-%m-%d) ($(nproc) cores). Seed 7, owner 04 handed to 01,"
  echo "every data group, services by billing case; see [benchmarks.md](benchmarks.md)."
  echo
  echo "$header"
  cat "$rows"
  echo
  echo "![time per patient against practice size](benchmark-scaling.png)"
} >docs/benchmark-results.md

# Columns: patients, back end, per patient in µs.
awk -F'|' '{ gsub(/ /, "", $2); gsub(/ /, "", $3); split($7, t, " "); split($5, p, " "); print $2, $3, t[1], p[1] * 1e6 / $2 }' "$rows" >"$work/points"
gnuplot <<PLOT
set terminal png size 800,480
set output "docs/benchmark-scaling.png"
set title "Owner run and its trial: time per patient against practice size"
set logscale x
set xlabel "patients"
set ylabel "microseconds per patient"
set yrange [0:*]
set key top left
plot "< grep SQLite $work/points" using 1:3 with linespoints title "SQLite", \
     "< grep server $work/points" using 1:3 with linespoints title "PostgreSQL (ODBC)", \
     "< grep SQLite $work/points" using 1:4 with linespoints dashtype 2 title "SQLite, trial", \
     "< grep server $work/points" using 1:4 with linespoints dashtype 2 title "PostgreSQL (ODBC), trial"
PLOT
echo "docs/benchmark-results.md and docs/benchmark-scaling.png written"
