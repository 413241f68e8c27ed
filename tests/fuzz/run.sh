#!/bin/sh
# Runs every fuzz target for SECONDS each, starting from its seed corpus in
# tests/fuzz/corpus/<target>. Fails when any target finds a crash, a leak, a
# time-out or a broken property; the input that did it is kept in the work
# folder and named in the output.
#   tests/fuzz/run.sh BUILD_DIR [SECONDS]
set -u
if [ $# -lt 1 ]; then
  echo "usage: $0 BUILD_DIR [SECONDS]" >&2
  exit 2
fi
build=$1
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/trawlscope-fuzz.XXXXXX")
failed=""
for target in fuzz_codepage fuzz_fastpath fuzz_ini fuzz_xml fuzz_splice; do
  program="$build/tests/fuzz/$target"
  if [ ! -x "$program" ]; then
    echo "$target: not built in $build" >&2
    failed="$failed $target"
    continue
  fi
  # New inputs go to the work folder; the seeds in the tree stay as they are.
  mkdir -p "$work/$target"
  log="$work/$target.log"
  "$program" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/$target-" "$work/$target" "$here/corpus/$target" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  if [ $status -eq 0 ]; then
    echo "$target: ${runs:-?} runs in ${seconds} s, no fault"
  else
    echo "$target: FAILED (exit $status) after ${runs:-?} runs; log and input in $work" >&2
    grep -E "^(==[0-9]+==ERROR|SUMMARY|property broken|artifact_prefix|Test unit written)" "$log" >&2
    failed="$failed $target"
  fi
done
if [ -n "$failed" ]; then
  echo "fuzzing found faults in:$failed" >&2
  exit 1
fi
rm -rf "$work"
