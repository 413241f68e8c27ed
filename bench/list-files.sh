#!/bin/sh
# Listing speed: Trawlscope's file listing against `find DIR -type f` on the
# same tree, beside another build's listing (OTHER_BUILD, such as the main
# branch's) with the options off, then with the options that aim it on.
# Usage: bench/list-files.sh BUILD_DIR [TREE] [OTHER_BUILD]   (TREE defaults to /usr/include)
set -e
build=${1:?build folder}
tree=${2:-/usr/include}
other=${3:-}
list=$build/bench/trawlscope-list-files
echo "files: $(find "$tree" -type f | wc -l)"
hyperfine --warmup 3 --runs 20 -N \
  "find $tree -type f" \
  "$list $tree" \
  ${other:+"$other/bench/trawlscope-list-files $tree"}
hyperfine --warmup 3 --runs 20 -N \
  "$list $tree --types *.c;*.h" \
  "$list $tree --types *.c;*.h;!drivers/;!*.mod.c" \
  "$list $tree --skip-vcs" \
  "$list $tree --skip-vcs --gitignore"
