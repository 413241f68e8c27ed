#!/bin/sh
# Search speed on the Japanese corpus (the same texts in UTF-8, Shift_JIS,
# EUC-JP and UTF-16 LE) against ripgrep, which finds only the UTF-8 and UTF-16 hits.
# Usage: bench/search-ja.sh BUILD_DIR CORPORA_DIR   (CORPORA_DIR from bench/make-corpora.sh)
set -e
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
hyperfine -N --warmup 2 --runs "${RUNS:-5}" "rg -uu -j1 -c 関数 ja" \
  "$build/tools/trawlscope-batch --path ja --subfolders 関数"
echo "rg lines with hits: $(rg -uu -j1 -c 関数 ja | awk -F: '{s += $NF} END {print s}')"
"$build/tools/trawlscope-batch" --path ja --subfolders 関数 > /dev/null
