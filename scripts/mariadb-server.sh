#!/usr/bin/env bash
# A throwaway MariaDB server for the server test suite: its own data folder, its own
# socket and loopback port, its own login, no system service.
#
#   scripts/mariadb-server.sh start FOLDER [PORT]   prints the ODBC connection string (without DATABASE)
#   scripts/mariadb-server.sh stop FOLDER           stops the server and removes FOLDER
#
# The server runs as the system user mysql when started by root, so FOLDER's parent
# must be open to that user. The server keeps MariaDB's default collation, which
# compares without case and trailing blanks: the practice's tables bring their own.
set -euo pipefail

command="${1:?usage: mariadb-server.sh start|stop FOLDER [PORT]}"
folder="${2:?usage: mariadb-server.sh start|stop FOLDER [PORT]}"
# Without a port, one of its own per shell, so that two runs on one machine do not meet.
port="${3:-$((40000 + $$ % 20000))}"
user=kelvor
password="kelvor-test-$$-$RANDOM"

as_owner() {
  if [ "$(id -u)" -eq 0 ]; then runuser -u mysql -- "$@"; else "$@"; fi
}

# The administrator's login: the system user starting the server, through the socket.
admin() {
  mariadb --no-defaults --socket="$folder/server.sock" -u "$(id -un)" "$@"
}

start() {
  mkdir -p "$folder"
  if [ "$(id -u)" -eq 0 ]; then chown mysql: "$folder"; fi
  as_owner mariadb-install-db --no-defaults --datadir="$folder/data" --auth-root-authentication-method=socket \
    --skip-test-db >"$folder/install.log" 2>&1
  # Nothing here has to survive a crash: no flush per commit, no doublewrite, no binary log.
  # The performance schema sums each statement's time on the server (for the benchmark).
  as_owner setsid mariadbd --no-defaults --datadir="$folder/data" --socket="$folder/server.sock" \
    --pid-file="$folder/server.pid" --log-error="$folder/server.log" --port="$port" --bind-address=127.0.0.1 \
    --skip-name-resolve --skip-log-bin --innodb-flush-log-at-trx-commit=0 --innodb-doublewrite=0 \
    --innodb-buffer-pool-size=256M --max-connections=200 --performance-schema=ON </dev/null >/dev/null 2>&1 &
  for _ in $(seq 1 600); do
    if admin -e "SELECT 1" >/dev/null 2>&1; then break; fi
    sleep 0.1
  done
  admin -e "CREATE USER '$user'@'127.0.0.1' IDENTIFIED BY '$password';
            GRANT ALL PRIVILEGES ON *.* TO '$user'@'127.0.0.1' WITH GRANT OPTION" >/dev/null
  printf 'DRIVER={MariaDB Unicode};SERVER=127.0.0.1;PORT=%s;UID=%s;PWD=%s\n' "$port" "$user" "$password"
}

stop() {
  if [ -f "$folder/server.pid" ]; then
    pid="$(cat "$folder/server.pid")"
    kill "$pid" 2>/dev/null || true
    for _ in $(seq 1 600); do
      if ! kill -0 "$pid" 2>/dev/null; then break; fi
      sleep 0.1
    done
  fi
  rm -rf "$folder"
}

case "$command" in
  start) start ;;
  stop) stop ;;
  *) echo "usage: mariadb-server.sh start|stop FOLDER [PORT]" >&2; exit 2 ;;
esac
