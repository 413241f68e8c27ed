#!/bin/sh
# Search speed with the cache of detected code pages empty (cold: every page
# detected, then written) and filled by the run before (warm), against the
# same search without the cache and against ripgrep, on the mixed tree, the
# Japanese corpus and the Linux tree. The cache lives in a temporary folder.
# Usage: bench/codepage-cache.sh BUILD_DIR CORPORA_DIR   (CORPORA_DIR from bench/make-corpora.sh)
# Needs: apt-get install hyperfine ripgrep
set -e
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
XDG_CACHE_HOME=$(mktemp -d)
export XDG_CACHE_HOME
trap 'rm -rf "$XDG_CACHE_HOME"' EXIT
batch="$build/tools/trawlscope-batch --subfolders"
# Each line: the folder and the tool's words; rg takes the last one, case-sensitively.
for run in "mixed --case the" "ja 関数" "linux --case PM_RESUME"; do
  folder=${run%% *} words=${run#* } text=${run##* }
  # The cache is emptied before every run of each command; only "cold" uses it.
  hyperfine -N --warmup 2 --runs "${RUNS:-10}" --prepare "rm -rf $XDG_CACHE_HOME/trawlscope" \
    -n rg "rg -uu -c $text $folder" -n off "$batch --no-codepage-cache --path $folder $words" \
    -n cold "$batch --path $folder $words"
  hyperfine -N --warmup 2 --runs "${RUNS:-10}" -n warm "$batch --path $folder $words"
  echo "cache file: $(stat -c %s "$XDG_CACHE_HOME/trawlscope/codepages-batch") bytes"
done
