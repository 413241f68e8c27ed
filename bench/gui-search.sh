#!/bin/bash
# The desktop program's speed as a user sees it: from Enter in the main
# dialog until the result list is on the screen, under Xvfb with a window
# manager, side by side with trawlscope-batch running the same search.
# Usage: bench/gui-search.sh BUILD_DIR FOLDER TEXT [RUNS]   (e.g. CORPORA/linux PM_RESUME, CORPORA from bench/make-corpora.sh)
# Needs: apt-get install xvfb openbox xdotool libx11-dev (for trawlscope-window-wait)
set -e
build=$(cd "${1:?build folder}" && pwd)
folder=$(cd "${2:?folder to search}" && pwd)
text=${3:?search text}
runs=${4:-5}
# TRAWLSCOPE_BENCH_CASE=0 searches ignoring case, in both.
case_sensitive=${TRAWLSCOPE_BENCH_CASE:-1}
case_option=$([ "$case_sensitive" = 1 ] && echo --case || true)
display=:${TRAWLSCOPE_BENCH_DISPLAY:-57}

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
# A copy of the program in a folder of our own, with a settings file beside
# it, which it then uses: the user's settings stay out of the way.
cp "$build/gui/trawlscope" "$work/"
Xvfb "$display" -screen 0 1600x1000x24 >/dev/null 2>&1 &
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
sleep 1

gui_once() {
  cat > "$work/trawlscope.ini" <<INI
[Filepath]
EditControl=$folder
[TextForSearch]
EditControl=$text
[CheckBox]
Subfolder=1
CaseSensitive=$case_sensitive
Regex=0
INI
  # In English, whatever the user's language: the result window is waited for by its title.
  DISPLAY=$display LANGUAGE=en "$work/trawlscope" >/dev/null 2>&1 &
  local pid=$!
  local window
  window=$(DISPLAY=$display xdotool search --sync --onlyvisible --name "^Trawlscope [0-9]")
  sleep 0.5
  DISPLAY=$display xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  # As a user who typed the search text has: Qt reads the keyboard's compose
  # table at the first key of the process (about 2 ms here), which would
  # otherwise fall on the timed Enter.
  DISPLAY=$display xdotool key --clearmodifiers End >/dev/null 2>&1 || true
  sleep 0.3
  local before
  before=$(awk '/VmHWM/ {print $2}' /proc/$pid/status)
  # The stopwatch presses Enter itself and sleeps until the result window
  # maps: polling with xdotool would take a core from the run.
  DISPLAY=$display "$build/bench/trawlscope-window-wait" "$window" "Trawlscope - Result" 300 > "$work/wait"
  # The peak memory with the list open, and the program's own before Enter.
  echo "$(awk '/VmHWM/ {print $2}' /proc/$pid/status) $before" >> "$work/memory"
  kill "$pid"; wait "$pid" 2>/dev/null || true
  tail -n 1 "$work/wait"
}

batch_once() {
  local start=$EPOCHREALTIME
  "$build/tools/trawlscope-batch" --path "$folder" --subfolders $case_option "$text" >/dev/null 2>"$work/batch-count"
  echo "$EPOCHREALTIME $start" | awk '{printf "%.3f\n", $1 - $2}'
}

median() { sort -n | awk '{a[NR]=$1} END {printf "%.3f", a[int((NR+1)/2)]}'; }

# The two run in turns, so that the machine's moods fall on both alike.
batch_once >/dev/null
gui=()
batch=()
for _ in $(seq "$runs"); do
  gui+=("$(gui_once)")
  batch+=("$(batch_once)")
done
echo "== $runs runs each, in turns: Enter until the result list shows, and trawlscope-batch $case_option"
gui_median=$(printf '%s\n' "${gui[@]}" | median)
batch_median=$(printf '%s\n' "${batch[@]}" | median)
echo "GUI   median $gui_median s (all: $(printf '%s\n' "${gui[@]}" | sort -n | tr '\n' ' '))"
echo "batch median $batch_median s (all: $(printf '%s\n' "${batch[@]}" | sort -n | tr '\n' ' '))"
echo "$gui_median $batch_median" | awk '{printf "GUI / batch: %.2f\n", $1 / $2}'
hits=$(grep -oE '^[0-9]+ hits' "$work/batch-count" | tail -n 1 | cut -d' ' -f1)
tail -n 1 "$work/memory" | awk -v hits="$hits" '{printf "GUI peak %.0f MB with the list open, %.0f MB before Enter: %.1f bytes a hit above it for %d hits\n", $1 / 1024, $2 / 1024, ($1 - $2) * 1024 / hits, hits}'
