#!/usr/bin/env bash
# Builds the Debian package from the build in BUILD_DIR (default: build), checks it with
# lintian (any error or warning fails), installs it with apt-get and starts what it
# installed: kelvor-praxis makes a practice, and kelvor must come up to its password
# prompt on a virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR="${BUILD_DIR:-build}"
scripts/install-deps.sh   # lintian among them
SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi
rm -f "$BUILD_DIR"/kelvor_*.deb
(cd "$BUILD_DIR" && cpack -G DEB >/dev/null)
package="$(ls "$PWD/$BUILD_DIR"/kelvor_*.deb)"
as_root=()
if [ "$(id -u)" -eq 0 ]; then as_root=(--allow-root); fi
lintian "${as_root[@]}" --fail-on error,warning "$package"
# Another apt run on the machine is waited for, not failed on.
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq -o DPkg::Lock::Timeout=600 "$package" >/dev/null
folder="$(mktemp -d)"
trap 'rm -rf "$folder"' EXIT
/usr/bin/kelvor-praxis create "$folder/praxis" --patients 20 >/dev/null
VQ_PRAXIS="$folder/praxis" scripts/prompt-window.sh /usr/bin/kelvor
echo "Installed $(basename "$package"): practice made by /usr/bin/kelvor-praxis, /usr/bin/kelvor up at its password prompt"
