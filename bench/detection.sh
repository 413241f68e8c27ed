#!/bin/sh
# Code-page detection: the share of files decoded to their true text on the
# labelled corpus (by group, its one-line files apart), on short samples cut
# from it, and on the mixed tree by its file suffixes; then detection alone
# in microseconds a file over the mixed tree, on one core.
# Usage: bench/detection.sh BUILD_DIR ENCODINGS_DIR [CORPORA_DIR]
#   (CORPORA_DIR from bench/make-corpora.sh; without it the mixed tree is skipped)
# LIST_WRONG=1 lists every file or sample decoded wrong.
set -e
build=${1:?build folder}
encodings=${2:?labelled corpus folder (with labels.tsv)}
"$build/bench/trawlscope-detect-corpus" "$encodings" ${LIST_WRONG:+--list-wrong}
echo
"$build/bench/trawlscope-detect-samples" "$encodings" ${LIST_WRONG:+--list-wrong}
if [ -n "$3" ]; then
  echo
  "$build/bench/trawlscope-detect-mixed" "$3/mixed" ${LIST_WRONG:+--list-wrong}
  taskset -c 0 "$build/bench/trawlscope-detect-speed" "$3/mixed" "${ROUNDS:-5}"
fi
