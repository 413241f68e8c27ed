#!/bin/sh
# Search speed on the tree of real manual pages in eleven code pages and in
# UTF-8 and UTF-16 (mixed/), against ripgrep with every core, which reads
# only the UTF-8 and ASCII bytes; then code-page detection alone on one core.
# Usage: bench/search-mixed.sh BUILD_DIR CORPORA_DIR   (CORPORA_DIR from bench/make-corpora.sh)
# Needs: apt-get install hyperfine ripgrep
set -e
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
batch="$build/tools/trawlscope-batch --path mixed --subfolders"
hyperfine -N --warmup 2 --runs "${RUNS:-10}" "rg -uu -c the mixed" "$batch --case the" "$batch the"
hyperfine -N --warmup 1 --runs "${RUNS:-10}" "taskset -c 0 $batch --codepages"
