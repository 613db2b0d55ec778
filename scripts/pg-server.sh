#!/usr/bin/env bash
# A throwaway PostgreSQL server for the server test suite: its own data folder,
# its own loopback port, its own login, no system service.
#
#   scripts/pg-server.sh start FOLDER [PORT]   prints the ODBC connection string (without DATABASE)
#   scripts/pg-server.sh stop FOLDER           stops the server and removes FOLDER
#
# The server runs as the system user postgres when started by root (initdb refuses root),
# so FOLDER's parent must be open to that user.
# Its collation is C, so that text sorts by bytes as in the embedded databases.
# pg_stat_statements (its view in the database postgres) sums each statement's planning
# and execution time on the server, for the benchmark.
set -euo pipefail

command="${1:?usage: pg-server.sh start|stop FOLDER [PORT]}"
folder="${2:?usage: pg-server.sh start|stop FOLDER [PORT]}"
# Without a port, one of its own per shell, so that two runs on one machine do not meet.
port="${3:-$((20000 + $$ % 20000))}"
user=kelvor
password="kelvor-test-$$-$RANDOM"

bindir="$(pg_config --bindir 2>/dev/null || true)"
if [ ! -x "$bindir/initdb" ]; then
  bindir="$(ls -d /usr/lib/postgresql/*/bin | sort -V | tail -1)"
fi

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u postgres -- "$@"; else "$@"; fi
}

start() {
  mkdir -p "$folder"
  if [ "$(id -u)" -eq 0 ]; then chown postgres: "$folder"; fi
  as_owner "$bindir/initdb" -D "$folder/data" -U postgres --locale=C -E UTF8 --auth-local=trust \
    --auth-host=scram-sha-256 >"$folder/initdb.log"
  as_owner "$bindir/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 60 \
    -o "-c listen_addresses=127.0.0.1 -p $port -k $folder -c fsync=off -c synchronous_commit=off -c full_page_writes=off -c max_connections=200 -c shared_preload_libraries=pg_stat_statements -c pg_stat_statements.track_planning=on" \
    start >/dev/null
  as_owner psql -X -q -h "$folder" -p "$port" -U postgres -d postgres -v ON_ERROR_STOP=1 \
    -c "CREATE ROLE $user LOGIN SUPERUSER PASSWORD '$password'" -c "CREATE EXTENSION pg_stat_statements" >/dev/null
  printf 'DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=%s;UID=%s;PWD=%s\n' "$port" "$user" "$password"
}

stop() {
  if [ -f "$folder/data/postmaster.pid" ]; then
    as_owner "$bindir/pg_ctl" -D "$folder/data" -m immediate -w stop >/dev/null || true
  fi
  rm -rf "$folder"
}

case "$command" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: pg-server.sh start|stop FOLDER [PORT]" >&2; exit 2 ;;
esac
