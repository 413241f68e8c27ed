#!/bin/sh
# Every catalogue in resources/translations holds a finished translation of
# every text in the code, and nothing else: lupdate updates a copy of each
# from the sources, exactly as tools/update-translations.sh does, and the
# copy must come out unchanged. A text added to the code arrives unfinished;
# one taken out of it disappears from the copy.
# Usage: check-translations.sh SOURCE_DIR
set -eu
root=${1:?source folder}
lupdate=$(command -v lupdate || echo /usr/lib/qt6/bin/lupdate)
if [ ! -x "$lupdate" ]; then
  echo "skipped: lupdate is not installed (apt-get install qt6-l10n-tools)"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
found=0
for committed in "$root"/resources/translations/*.ts; do
  found=1
  copy=$work/$(basename "$committed")
  cp "$committed" "$copy"
  LUPDATE=$lupdate sh "$root/tools/update-translations.sh" "$copy" 2>/dev/null
  if grep -q 'type="unfinished"\|type="vanished"\|type="obsolete"' "$copy"; then
    echo "$(basename "$committed") lacks a finished translation of these texts (run tools/update-translations.sh, then translate):"
    grep -B2 'type="unfinished"\|type="vanished"\|type="obsolete"' "$copy" | grep '<source>' || true
    status=1
  fi
  if ! diff -u "$committed" "$copy" >"$work/diff"; then
    echo "$(basename "$committed") differs from the texts in the code (run tools/update-translations.sh):"
    cat "$work/diff"
    status=1
  fi
done
[ "$found" -eq 1 ] || { echo "no catalogue in resources/translations"; exit 1; }
exit $status
