#!/bin/sh
# A 3 GiB file with one occurrence past 2^31 units, near its end: the hit's
# line and position must be exact in every mode, and the run must not fail.
# Prints each mode's time and peak memory (read in pieces: some 30 MB), then
# those of a replace of a copy, whose original the undo journal keeps, and
# of its undo, checking that the replace changed those six bytes and no
# other and that the undo put them back.
# Needs 10 GiB of disk. Usage: bench/huge-file.sh BUILD_DIR [WORK_DIR]
set -e
build=$(cd "${1:?build folder}" && pwd)
work=${2:-/tmp/trawlscope-huge}
mkdir -p "$work"
file="$work/huge.txt"
line_bytes=128
lines=$(( 3 * 1024 * 1024 * 1024 / line_bytes ))
if [ ! -f "$file" ]; then
  yes "$(head -c $((line_bytes - 1)) /dev/zero | tr '\0' a)" | head -n "$lines" > "$file"
  printf 'xx needle yy\n' >> "$file"
fi
expected="$file	$((lines + 1))	$((lines * line_bytes + 3))	6	needle"
status=0
for mode in "--case" "" "--regex --case" "--regex"; do
  got=$(/usr/bin/time -f "%e s, %M KB peak" "$build/tools/trawlscope-batch" --path "$file" $mode needle 2>"$work/err")
  if [ "$got" = "$expected" ]; then
    echo "ok   ${mode:-case-insensitive}: $(tail -1 "$work/err")"
  else
    echo "FAIL ${mode:-case-insensitive}: got '$got', expected '$expected'"; cat "$work/err"; status=1
  fi
done
# The journal beside the copy, never the user's own, with room for a 3 GiB original.
export XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/trawlscope"
printf '[Undo]\nMaxMegabytes=8192\n' > "$XDG_CONFIG_HOME/trawlscope/trawlscope.ini"
rm -rf "$XDG_STATE_HOME"
copy="$work/copy.txt"
cp "$file" "$copy"
got=$(/usr/bin/time -f "%e s, %M KB peak" "$build/tools/trawlscope-batch" --path "$copy" --case --replace NEEDLE needle 2>"$work/err") || true
size=$(stat -c %s "$file")
if [ "$(stat -c %s "$copy")" = "$size" ] && [ "$(tail -c 13 "$copy")" = "xx NEEDLE yy" ] &&
   cmp -s -n $((size - 13)) "$file" "$copy"; then
  echo "ok   replace: $(tail -1 "$work/err")"
  /usr/bin/time -f "%e s, %M KB peak" "$build/tools/trawlscope-batch" --undo >/dev/null 2>"$work/err" || true
  if cmp -s "$file" "$copy"; then
    echo "ok   undo: $(tail -1 "$work/err")"
  else
    echo "FAIL undo:"; cat "$work/err"; status=1
  fi
else
  echo "FAIL replace: got '$got'"; cat "$work/err"; status=1
fi
rm -rf "$copy" "$XDG_STATE_HOME"
exit $status
