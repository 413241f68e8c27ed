#!/bin/sh
# Screenshots of the real dialogs under Xvfb, for a person to look at.
# Usage: tools/screenshots.sh BUILD_DIR OUTPUT_DIR SEARCH_FOLDER
# Needs: apt-get install xvfb (and a Japanese font, which the set-up installs).
set -e
build=${1:?build folder}
xvfb-run -a -s "-screen 0 1280x800x24" "$build/tools/trawlscope-screenshots" "${2:?output folder}" "${3:?folder to search}"
ls -l "$2"
