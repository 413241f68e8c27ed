#!/bin/sh
# The fixed cost of a run of trawlscope-batch, two builds side by side in one
# sitting and in turns: an empty folder (start-up alone), the mixed tree and
# the Japanese corpus; the median wall time, the mean CPU time (user+sys) and
# how many shared libraries the dynamic loader opened for a plain search.
# Usage: bench/startup.sh BEFORE_BATCH AFTER_BATCH CORPORA_DIR
#   (the two trawlscope-batch programs; CORPORA_DIR from bench/make-corpora.sh)
# Needs: apt-get install hyperfine. RUNS (default 30) sets the runs a command.
set -e
before=$(realpath "${1:?the trawlscope-batch to compare against}")
after=$(realpath "${2:?the trawlscope-batch to measure}")
cd "${3:?corpora folder}"
runs=${RUNS:-30}
empty=$(mktemp -d)
json=$(mktemp)
trap 'rm -rf "$empty" "$json"' EXIT
# English, as most runs are: a catalogue language loads Qt's on purpose.
export LANGUAGE=en LC_ALL=C.UTF-8

row() {
  name=$1
  shift
  hyperfine -N --warmup 3 --runs "$runs" --export-json "$json" "$before $*" "$after $*" >/dev/null
  python3 - "$name" "$json" <<'PY'
import json, statistics, sys
r = json.load(open(sys.argv[2]))["results"]
(b, a) = r
cpu = lambda x: (x["user"] + x["system"]) * 1000
print(f"{sys.argv[1]:<12} wall {statistics.median(b['times'])*1000:6.1f} -> {statistics.median(a['times'])*1000:6.1f} ms"
      f"   cpu {cpu(b):6.1f} -> {cpu(a):6.1f} ms")
PY
}

row "empty"  "--subfolders --path $empty --case the"
row "mixed"  "--subfolders --path mixed --case the"
row "ja"     "--subfolders --path ja 関数"
for batch in "$before" "$after"; do
  loaded=$(LD_DEBUG=files "$batch" --subfolders --path "$empty" --case the 2>&1 >/dev/null | grep -c 'file=.*needed by' || true)
  echo "libraries loaded by a plain search: $loaded ($batch)"
done
