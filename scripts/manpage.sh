#!/usr/bin/env bash
# Writes the manual page PROGRAM(1), compressed, to OUTPUT from the README's section
# "### PROGRAM(1)": its first line becomes the NAME, each "#### Heading" a section of
# the page, and lowdown sets the rest. The README and the manual page so say the same.
# usage: scripts/manpage.sh README PROGRAM VERSION OUTPUT
set -euo pipefail
readme="$1" program="$2" version="$3" output="$4"
page="$(awk -v heading="### $program(1)" '
  $0 == heading { inside = 1; next }
  !inside { next }
  /^###? / { exit }
  !named && NF { print "# NAME\n\n" $0; named = 1; next }
  /^#### / { print "# " toupper(substr($0, 6)); next }
  { print }' "$readme")"
if [ -z "$page" ]; then
  echo "$readme has no section \"### $program(1)\"" >&2
  exit 1
fi
mkdir -p "$(dirname "$output")"
lowdown -s -Tman -M "title=$program" -M section=1 -M "source=Kelvor $version" <<<"$page" | gzip -9n >"$output"
