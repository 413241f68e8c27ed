#!/bin/sh
# The peak memory of searches whose files hold millions of hits, or expand
# far: a gzip of one repeated Latin-1 line (1 GB unpacked, 28 million hits of
# "needle"), searched for "needle" and for a word it lacks; the same text
# unpacked; a 300 MB ASCII log with 8.5 million hits; and two of each side by
# side. Each should stay under 256 MB, since the tool prints hits as they are
# found and keeps none. Prints each case's time and peak memory, with another
# build's beside it when a third folder is given (say main's, before a change).
# Needs 3.5 GB of disk. Usage: bench/peak-memory.sh BUILD_DIR WORK_DIR [OTHER_BUILD_DIR]
set -e
build=$(cd "${1:?build folder}" && pwd)
work=${2:?work folder}
other=${3:+$(cd "$3" && pwd)/tools/trawlscope-batch}
mkdir -p "$work/gz" "$work/txt" "$work/log"
cd "$work"
if [ ! -f gz/latin1.gz ]; then
  # 36 bytes a line, two of them Latin-1 (è, é); 28.3 million lines make 1 GB.
  python3 -c '
import sys
line = "caf\xe9 cr\xe8me au lait, needle et sucre\n".encode("latin-1")
block = line * 100000
for _ in range(283):
    sys.stdout.buffer.write(block)
' > txt/latin1.txt
  gzip -1 -c txt/latin1.txt > gz/latin1.gz
  cp gz/latin1.gz gz/latin1-copy.gz
fi
if [ ! -f log/app.log ]; then
  python3 -c '
import sys
line = b"2024-05-01 12:00:00 INFO needle ok\n"
block = line * 100000
for _ in range(85):
    sys.stdout.buffer.write(block)
' > log/app.log
  cp log/app.log log/app-copy.log
fi

# Prints "TIME s, PEAK MB" of one run of `batch` with the rest of the arguments.
measure() {
  batch=$1
  shift
  /usr/bin/time -f "%e s, %M" "$batch" "$@" 2>&1 >/dev/null | tail -1 | awk -F', ' '{ printf "%s, %d MB", $1, $2 / 1024 }'
}

run() {
  label=$1
  shift
  printf '%-34s %s' "$label" "$(measure "$build/tools/trawlscope-batch" "$@")"
  [ -n "$other" ] && printf '   other: %s' "$(measure "$other" "$@")"
  echo
}

run "gz, needle" --path "$work/gz/latin1.gz" needle
run "gz, needle, csv" --path "$work/gz/latin1.gz" --format csv needle
run "gz, absent word" --path "$work/gz/latin1.gz" absent
run "two gz side by side, needle" --path "$work/gz" needle
run "unpacked, needle" --path "$work/txt/latin1.txt" needle
run "unpacked, absent word" --path "$work/txt/latin1.txt" absent
run "300 MB log, needle" --path "$work/log/app.log" needle
run "300 MB log, needle, csv" --path "$work/log/app.log" --format csv needle
run "two logs side by side, needle" --path "$work/log" needle
