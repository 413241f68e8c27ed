#!/bin/sh
# Search speed on the Linux source tree against ripgrep and grep, side by side.
# Usage: bench/search-linux.sh BUILD_DIR CORPORA_DIR   (CORPORA_DIR from bench/make-corpora.sh)
# Needs: apt-get install hyperfine ripgrep
set -e
build=$(cd "${1:?build folder}" && pwd)
cd "${2:?corpora folder}"
batch="$build/tools/trawlscope-batch --path linux --subfolders"
run() { hyperfine -N --warmup 2 --runs "${RUNS:-5}" "$@"; }

echo "== literal"
run "rg -uu -j1 -c PM_RESUME linux" "grep -r -c PM_RESUME linux" "$batch --case PM_RESUME"
echo "== case-insensitive"
run "rg -uu -j1 -c -i PM_RESUME linux" "grep -r -c -i PM_RESUME linux" "$batch PM_RESUME"
echo "== expression"
RUNS=${RUNS_SLOW:-2}
run "rg -uu -j1 -c [A-Z][a-z]+_[a-z]+ linux" \
    "env LC_ALL=C.UTF-8 grep -r -E -c [A-Z][a-z]+_[a-z]+ linux" \
    "$batch --regex --case [A-Z][a-z]+_[a-z]+"
echo "== peak memory (largest file: $(find linux -type f -printf '%s\n' | sort -n | tail -1) bytes)"
/usr/bin/time -f "literal %M KB" $batch --case PM_RESUME > /dev/null
/usr/bin/time -f "expression %M KB" $batch --regex --case '[A-Z][a-z]+_[a-z]+' > /dev/null
