#!/bin/sh
# Listing speed: Trawlscope's file listing against `find DIR -type f` on the same tree.
# Usage: bench/list-files.sh BUILD_DIR [TREE]   (TREE defaults to /usr/include)
set -e
build=${1:?build folder}
tree=${2:-/usr/include}
echo "files: $(find "$tree" -type f | wc -l)"
hyperfine --warmup 3 --runs 20 -N \
  "find $tree -type f" \
  "$build/bench/trawlscope-list-files $tree"
