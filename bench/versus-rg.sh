#!/bin/sh
# Each search of the speed goals beside `rg -uu` with every core, in one
# sitting and in turns (bench/in-turns.py: each round runs both once, in a
# random order), and the ratio of the medians (ours over rg's): the Linux
# literal, case-insensitive and expression searches, 関数 over the Japanese
# corpus (we find the hits in all four encodings, rg those in UTF-8 and
# UTF-16 with a mark) and "the" over the mixed tree. CPU is user + system.
# Usage: bench/versus-rg.sh BUILD_DIR CORPORA_DIR   (CORPORA_DIR from bench/make-corpora.sh)
# Needs: apt-get install ripgrep python3. RUNS (default 15) sets the rounds.
set -e
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
batch="$build/tools/trawlscope-batch --subfolders --path"
runs=${RUNS:-15}

row() {
  name=$1 ours=$2 theirs=$3
  "$here/in-turns.py" "$runs" 2 "$theirs" "$ours" | python3 -c '
import sys
rg, us = (line.split() for line in sys.stdin)
print(f"{sys.argv[1]:<24} rg {rg[0]:>7} ms (cpu {rg[3]:>7})   ours {us[0]:>7} ms (cpu {us[3]:>7})   ratio {us[6]}")' "$name"
}

row "Linux literal"          "$batch linux --case PM_RESUME"              "rg -uu -c PM_RESUME linux"
row "Linux case-insensitive" "$batch linux PM_RESUME"                     "rg -uu -c -i PM_RESUME linux"
row "Linux expression"       "$batch linux --regex --case [A-Z][a-z]+_[a-z]+" "rg -uu -c [A-Z][a-z]+_[a-z]+ linux"
row "Japanese 関数"          "$batch ja 関数"                              "rg -uu -c 関数 ja"
row "mixed tree"             "$batch mixed --case the"                    "rg -uu -c the mixed"
