#!/bin/sh
# The batch tool's output as it streams, against ripgrep on every core: when
# the first hit line reaches a reader of the pipe, when the last does, and
# the peak memory, for a word with over a million hits in the Linux tree.
# Usage: bench/stream-linux.sh BUILD_DIR CORPORA_DIR [WORD] [RUNS]
set -e
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
word=${3:-return}
runs=${4:-5}
# Runs each command in turns; first line, end and peak memory (of the child) per run, then medians.
python3 - "$runs" "$build/tools/trawlscope-batch --path linux --subfolders $word" "rg -uu -i $word linux" <<'PY'
import resource, statistics, subprocess, sys, time
runs, commands = int(sys.argv[1]), sys.argv[2:]
got = {c: [] for c in commands}
for _ in range(runs):
    for command in commands:
        before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        start = time.monotonic()
        child = subprocess.Popen(command.split(), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=1 << 16)
        child.stdout.readline()
        first = time.monotonic() - start
        lines = 1 + sum(1 for _ in child.stdout)
        child.wait()
        end = time.monotonic() - start
        # ru_maxrss of the children is the largest so far: only a new record is this child's own.
        peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
        got[command].append((first, end, peak if peak > before else None, lines))
for command, rows in got.items():
    peaks = [r[2] for r in rows if r[2] is not None]
    print(f"{command}\n  first line {1000 * statistics.median(r[0] for r in rows):.1f} ms,"
          f" last {1000 * statistics.median(r[1] for r in rows):.0f} ms (medians of {runs}),"
          f" {rows[0][3]} lines, peak {max(peaks) // 1024 if peaks else '?'} MB")
PY
echo "== peak memory, one run each"
/usr/bin/time -f "trawlscope-batch %M KB, %e s" "$build/tools/trawlscope-batch" --path linux --subfolders "$word" 2>&1 >/dev/null | tail -1
/usr/bin/time -f "rg -uu -i %M KB, %e s" rg -uu -i "$word" linux 2>&1 >/dev/null | tail -1
