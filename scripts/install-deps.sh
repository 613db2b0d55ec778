#!/usr/bin/env bash
# Installs every Debian package Kelvor needs to build, test and run. Safe to run again;
# when everything is installed already it asks apt nothing (and needs no sudo).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl-dev qt6-translations-l10n
  libsodium-dev libsqlite3-dev libgtest-dev googletest
  unixodbc-dev odbc-postgresql postgresql odbc-mariadb mariadb-server
  xvfb xauth x11-utils fonts-dejavu-core
  lowdown lintian
)
# One line per known package: all of them known and installed ("ii") means nothing to do.
states="$(dpkg-query -W -f='${db:Status-Abbrev}\n' "${packages[@]}" 2>/dev/null || true)"
if [ "$(grep -c '^ii' <<<"$states")" -eq "${#packages[@]}" ] && ! grep -qv '^ii' <<<"$states"; then
  exit 0
fi
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${packages[@]}" >/dev/null
