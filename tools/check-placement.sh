#!/usr/bin/env bash
# Checks where the window manager puts the dialogs, and how soon the result
# window shows at the end of a run: the real program under Xvfb with openbox,
# driven with xdotool, with settings in a temporary home so none leak.
#
#   tools/check-placement.sh [--scale N] [--tries N] [--load] [--shots DIR] FOLDER TEXT
#
# FOLDER is searched (with subfolders) for TEXT. --tries repeats the search
# and reports how long each result window took to become viewable; --load
# keeps two busy processes running meanwhile. Screenshots go to --shots
# (default /tmp/shots). Exits non-zero when a frame lies off the screen, the
# result window covers the main dialog, or a result window took longer than
# MAX_SHOW_SECONDS (default 5).
# Needs: apt-get install xvfb openbox xdotool x11-utils imagemagick
set -euo pipefail

scale=1 tries=1 load=0 shots=/tmp/shots
while [[ $# -gt 2 ]]; do
  case "$1" in
    --scale) scale=$2; shift 2 ;;
    --tries) tries=$2; shift 2 ;;
    --load) load=1; shift ;;
    --shots) shots=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
[[ $# -eq 2 ]] || { sed -n '6,8p' "$0" >&2; exit 2; }
folder=$1 text=$2
root=$(cd "$(dirname "$0")/.." && pwd)
program=${TRAWLSCOPE:-$root/build/gui/trawlscope}
max_show=${MAX_SHOW_SECONDS:-5}
mkdir -p "$shots"

home=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ ${KEEP_LOG:-} ]] && cp "$home/program.log" "$KEEP_LOG"
  rm -rf "$home"
}
trap cleanup EXIT

# A display nobody uses.
display=20
while [[ -e /tmp/.X11-unix/X$display || -e /tmp/.X$display-lock ]]; do display=$((display + 1)); done
export DISPLAY=:$display
Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 & pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 & pids+=($!)
sleep 1

# A copy in the temporary home, its settings in the configuration folder
# there: the user's own are never read nor written. In English, whatever
# the user's language: the windows are found by their titles.
mkdir -p "$home/bin"
cp "$program" "$home/bin/trawlscope"
HOME=$home XDG_CONFIG_HOME=$home/config LANGUAGE=en QT_SCALE_FACTOR=$scale "$home/bin/trawlscope" >"$home/program.log" 2>&1 & pids+=($!)

# Waits for a viewable window whose name matches, other than `except`; prints its id.
wait_window() {
  local name=$1 except=${2:-} id
  for _ in $(seq 600); do
    for id in $(xdotool search --name "$name" 2>/dev/null); do
      [[ $id != "$except" ]] && xwininfo -id "$id" 2>/dev/null | grep -q IsViewable && { echo "$id"; return 0; }
    done
    sleep 0.05
  done
  return 1
}

# "left top right bottom" of a window's frame, from its client area and the frame extents.
frame_of() {
  local info extents x y w h l r t b
  info=$(xwininfo -id "$1")
  x=$(awk '/Absolute upper-left X/ {print $4}' <<<"$info")
  y=$(awk '/Absolute upper-left Y/ {print $4}' <<<"$info")
  w=$(awk '/Width:/ {print $2}' <<<"$info")
  h=$(awk '/Height:/ {print $2}' <<<"$info")
  extents=$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
  read -r l r t b <<<"${extents:-0 0 0 0}"
  echo "$((x - l)) $((y - t)) $((x + w + r)) $((y + h + b))"
}

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
on_screen() {
  local left top right bottom
  read -r left top right bottom <<<"$2"
  ((left >= 0 && top >= 0 && right <= 1600 && bottom <= 1000)) || fail "$1 frame $2 is not on the screen"
}

main=$(wait_window '^Trawlscope [0-9]') || { fail "no main dialog"; exit 1; }
tag="${scale}x"
import -window root "$shots/main-$tag.png"
main_frame=$(frame_of "$main")
echo "main dialog frame: $main_frame"
on_screen "main dialog" "$main_frame"

xdotool windowactivate --sync "$main"
xdotool type --delay 2 "$folder"
xdotool key Tab Tab Tab Tab
xdotool type --delay 2 "$text"
xdotool key alt+i  # Include subfolders

if ((load)); then
  yes >/dev/null & pids+=($!)
  yes >/dev/null & pids+=($!)
fi

results=""
slow=0
for try in $(seq "$tries"); do
  # Return goes to whichever window has the focus: a result window that still
  # has it would take it as "Replace". Wait until the main dialog is active.
  xdotool windowactivate --sync "$main"
  for _ in $(seq 100); do [[ $(xdotool getactivewindow) == "$main" ]] && break; sleep 0.05; done
  sleep 0.3
  start=$(date +%s%N)
  xdotool key Return
  results=$(wait_window 'Trawlscope - Result' "$results") || { fail "try $try: no result window"; continue; }
  took=$((($(date +%s%N) - start) / 1000000))
  echo "try $try: result window viewable after $took ms"
  ((took <= max_show * 1000)) || slow=$((slow + 1))
done
((slow == 0)) || fail "$slow of $tries result windows took longer than $max_show s"

sleep 1
import -window root "$shots/result-$tag.png"
result_frame=$(frame_of "$results")
echo "result window frame: $result_frame"
on_screen "result window" "$result_frame"
read -r _ _ _ main_bottom <<<"$(frame_of "$main")"
read -r _ result_top _ result_bottom <<<"$result_frame"
# Below the main dialog, unless the screen is too short for that and the
# window was moved up to stay on it.
((result_top >= main_bottom || result_bottom >= 998)) || fail "the result window overlaps the main dialog"

echo "$failures failures"
((failures == 0))
