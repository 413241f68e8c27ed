#!/bin/sh
# Code-page detection on a labelled corpus (its files with labels.tsv beside
# them): the share of files decoded to their true text, by group.
# Usage: bench/detection.sh BUILD_DIR ENCODINGS_DIR
set -e
"${1:?build folder}/bench/trawlscope-detect-corpus" "${2:?labelled corpus folder (with labels.tsv)}" ${LIST_WRONG:+--list-wrong}
