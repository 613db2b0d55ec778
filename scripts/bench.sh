#!/usr/bin/env bash
# Runs the owner-run benchmark for each practice size (default 10000 100000) on
# SQLite and, unless --sqlite-only, on a throwaway PostgreSQL and a throwaway MariaDB
# server, one after the other per size; writes the table to
# docs/benchmark-results.md and the scaling chart (time per patient against practice
# size, every back end) to docs/benchmark-scaling.png. A size followed by ":sqlite",
# ":postgresql" or ":mariadb" runs on that back end only, e.g.
#
#     scripts/bench.sh [--sqlite-only] [PATIENTS[:sqlite|:postgresql|:mariadb]...]
#     scripts/bench.sh 10000 100000 1000000:sqlite
set -euo pipefail
cd "$(dirname "$0")/.."
backends=(sqlite postgresql mariadb)
if [ "${1:-}" = "--sqlite-only" ]; then backends=(sqlite); shift; fi
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)

# The back ends of one size: the one it names, else all of this run's.
backends_of() {
  case "$1" in
    *:*) echo "${1#*:}" ;;
    *) echo "${backends[*]}" ;;
  esac
}
needs=""
for size in "${sizes[@]}"; do
  if [[ "$size" == *:* && " sqlite postgresql mariadb " != *" ${size#*:} "* ]]; then
    echo "scripts/bench.sh: $size: the back end after the colon is sqlite, postgresql or mariadb" >&2
    exit 2
  fi
  needs+=" $(backends_of "$size")"
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
if ! command -v gnuplot >/dev/null; then
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends gnuplot-nox >/dev/null
fi
BUILD_DIR="${BUILD_DIR:-build}" scripts/build.sh >/dev/null

# The servers are the benchmark's own: they keep the statement statistics it reads.
work="$(mktemp -d)"
chmod 755 "$work"   # a server started by root runs as postgres or mysql, inside this folder
cleanup() {
  if [ -n "${postgresql:-}" ]; then scripts/pg-server.sh stop "$work/postgresql" >/dev/null || true; fi
  if [ -n "${mariadb:-}" ]; then scripts/mariadb-server.sh stop "$work/mariadb" >/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
if [[ "$needs" == *postgresql* ]]; then postgresql="$(scripts/pg-server.sh start "$work/postgresql" | tail -n 1)"; fi
if [[ "$needs" == *mariadb* ]]; then mariadb="$(scripts/mariadb-server.sh start "$work/mariadb" | tail -n 1)"; fi

# One size on one back end: its table, header included.
bench() {
  case "$2" in
    sqlite) "${BUILD_DIR:-build}/bin/bench_owner_run" "$1" sqlite ;;
    *) KELVOR_TEST_SERVER="${!2}" "${BUILD_DIR:-build}/bin/bench_owner_run" "$1" server ;;
  esac
}

rows="$work/rows"
: >"$rows"
header=""
for size in "${sizes[@]}"; do
  for backend in $(backends_of "$size"); do
    out="$(bench "${size%%:*}" "$backend")"
    header="$(head -n 2 <<<"$out")"
    tail -n +3 <<<"$out" | tee -a "$rows"
  done
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

# Columns: patients, back end, per patient in µs: the run, its trial, its floor.
awk -F'|' '{ gsub(/ /, "", $2); gsub(/ /, "", $3); split($7, t, " "); split($5, p, " "); split($8, f, " ")
             print $2, $3, t[1], p[1] * 1e6 / $2, f[1] == "-" ? "NaN" : f[1] * 1e6 / $2 }' "$rows" >"$work/points"
gnuplot <<PLOT
set terminal pngcairo size 900,540
set output "docs/benchmark-scaling.png"
set title "Owner run, its trial and its floor: time per patient against practice size"
set logscale x
set xlabel "patients"
set ylabel "microseconds per patient"
set yrange [0:*]
set key outside right top
backends = "SQLite PostgreSQL MariaDB"
points(i) = "< grep ' ".word(backends, i)." ' $work/points"
plot for [i=1:3] points(i) using 1:3 with linespoints lc i title word(backends, i), \\
     for [i=1:3] points(i) using 1:4 with linespoints lc i dashtype 2 title word(backends, i).", trial", \\
     for [i=1:3] points(i) using 1:5 with linespoints lc i dashtype 3 title word(backends, i).", floor"
PLOT
echo "docs/benchmark-results.md and docs/benchmark-scaling.png written"
