#!/bin/sh
# The desktop entry as desktop-file-validate (desktop-file-utils) reads it:
# any error or warning fails. Usage: validate-desktop-entry.sh SOURCE_DIR
set -eu
if ! command -v desktop-file-validate >/dev/null 2>&1; then
  echo "skipped: desktop-file-validate is not installed (apt-get install desktop-file-utils)"
  exit 77
fi
out=$(desktop-file-validate "${1:?source folder}/resources/trawlscope.desktop" 2>&1) || { echo "$out"; exit 1; }
# It exits 0 on warnings and hints; only silence counts as valid.
[ -z "$out" ] || { echo "$out"; exit 1; }
echo "valid: resources/trawlscope.desktop"
