#!/usr/bin/env bash
# Installs every Debian package Kelvor needs to build, test and run. Safe to run again.
set -euo pipefail
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends \
  build-essential cmake ninja-build pkg-config ccache \
  qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite libqt6sql6-odbc libgl-dev \
  libsodium-dev libsqlite3-dev libgtest-dev googletest \
  unixodbc-dev odbc-postgresql postgresql \
  xvfb xauth fonts-dejavu-core >/dev/null
