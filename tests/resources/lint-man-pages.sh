#!/bin/sh
# The manual pages render without a warning, in a UTF-8 and in an ASCII
# terminal, pass mandoc's lint when it is installed, and the batch tool's
# page describes every option that its --help names.
# Usage: lint-man-pages.sh SOURCE_DIR TRAWLSCOPE_BATCH
set -eu
pages=${1:?source folder}/resources/man
batch=${2:?trawlscope-batch}
if ! command -v groff >/dev/null 2>&1; then
  echo "skipped: groff is not installed (apt-get install groff-base)"
  exit 77
fi
status=0
for page in "$pages"/*.1; do
  for device in utf8 ascii; do
    out=$(groff -man -ww -z -T"$device" "$page" 2>&1)
    [ -z "$out" ] || { echo "groff -T$device: $out"; status=1; }
  done
  if command -v mandoc >/dev/null 2>&1; then
    mandoc -T lint -W style "$page" || status=1
  else
    echo "mandoc lint skipped: mandoc is not installed (apt-get install mandoc)"
  fi
done
# Options as --help lists them ("  --name"), each as the page writes it (\-\-name).
for option in $("$batch" --help | sed -n 's/^  \(--[a-z-]*\).*/\1/p'); do
  roff=$(printf '%s' "$option" | sed 's/-/\\\\-/g')
  grep -q -- "$roff" "$pages/trawlscope-batch.1" || { echo "trawlscope-batch.1 does not describe $option"; status=1; }
done
exit $status
