#!/bin/bash
# The result list at any number of hits, side by side with trawlscope-batch
# running the same search: time and peak memory of each (GNU time), then the
# list's own figures from trawlscope-list-bench (the real result dialog,
# offscreen): the search into the list, opening it, sorting by each kind of
# column, typing and pasting a filter (plain and as an expression), each with
# the longest time the window stopped answering. It exits non-zero when that
# passed 100 ms.
# Usage: bench/result-list.sh BUILD_DIR FOLDER TEXT [FILTER]
#   e.g. bench/result-list.sh build CORPORA/linux/linux-source-6.1/drivers e mutex_lock
#   (52,825,808 hits: give it about 6 GB of memory)
set -e
build=$(cd "${1:?build folder}" && pwd)
folder=$(cd "${2:?folder to search}" && pwd)
text=${3:?search text}
filter=${4:-mutex_lock}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

peak() { awk -F': ' '/Maximum resident set size/ {printf "%.0f MB", $2 / 1024}' "$1"; }
elapsed() { awk -F': ' '/Elapsed \(wall clock\)/ {print $2}' "$1"; }

/usr/bin/time -v "$build/tools/trawlscope-batch" --path "$folder" --subfolders "$text" \
  >/dev/null 2>"$work/batch"
echo "batch: $(grep -E '^[0-9]+ hits' "$work/batch" | tail -n 1), $(elapsed "$work/batch") wall, peak $(peak "$work/batch")"

status=0
QT_QPA_PLATFORM=offscreen /usr/bin/time -v "$build/bench/trawlscope-list-bench" "$folder" "$text" "$filter" \
  >"$work/list" 2>"$work/list-time" || status=$?
cat "$work/list"
echo "list bench: $(elapsed "$work/list-time") wall, peak $(peak "$work/list-time")"
exit $status
