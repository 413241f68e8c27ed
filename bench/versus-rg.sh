#!/bin/sh
# Each search of the speed goals beside `rg -uu` with every core, in one
# sitting and in turns, and the ratio of the medians (ours over rg's): the
# Linux literal, case-insensitive and expression searches, 関数 over the
# Japanese corpus (we find the hits in all four encodings, rg those in UTF-8
# and UTF-16 with a mark) and "the" over the mixed tree.
# Usage: bench/versus-rg.sh BUILD_DIR CORPORA_DIR   (CORPORA_DIR from bench/make-corpora.sh)
# Needs: apt-get install hyperfine ripgrep. RUNS (default 15) sets the runs a command.
set -e
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
batch="$build/tools/trawlscope-batch --subfolders --path"
runs=${RUNS:-15}
json=$(mktemp)
trap 'rm -f "$json"' EXIT

row() {
  name=$1 ours=$2 theirs=$3
  hyperfine -N --warmup 2 --runs "$runs" --export-json "$json" "$theirs" "$ours" >/dev/null
  python3 - "$name" "$json" <<'PY'
import json, statistics, sys
r = json.load(open(sys.argv[2]))["results"]
rg, us = (statistics.median(x["times"]) for x in r)
print(f"{sys.argv[1]:<28} rg {rg*1000:8.1f} ms   ours {us*1000:8.1f} ms   ratio {us/rg:5.2f}")
PY
}

row "Linux literal"          "$batch linux --case PM_RESUME"              "rg -uu -c PM_RESUME linux"
row "Linux case-insensitive" "$batch linux PM_RESUME"                     "rg -uu -c -i PM_RESUME linux"
row "Linux expression"       "$batch linux --regex --case [A-Z][a-z]+_[a-z]+" "rg -uu -c [A-Z][a-z]+_[a-z]+ linux"
row "Japanese 関数"          "$batch ja 関数"                              "rg -uu -c 関数 ja"
row "mixed tree"             "$batch mixed --case the"                    "rg -uu -c the mixed"
