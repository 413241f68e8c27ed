#!/bin/sh
# Code-page detection on the labelled corpus: the share of files decoded to
# their true text, by group. Usage: bench/detection.sh BUILD_DIR [ENCODINGS_DIR]
set -e
"${1:?build folder}/bench/trawlscope-detect-corpus" "${2:-../shared/encodings}" ${LIST_WRONG:+--list-wrong}
