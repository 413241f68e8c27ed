#!/bin/sh
# trawlscope --help and --version answer and exit 0 with no display at all:
# a program that reached for the window system first would fail here.
# Usage: check-desktop-options.sh TRAWLSCOPE VERSION
set -u
program=${1:?trawlscope}
version=${2:?version}
unset DISPLAY WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
status=0
out=$("$program" --version 2>&1) || { echo "--version exited with $?: $out"; status=1; }
[ "$out" = "trawlscope $version" ] || { echo "--version printed '$out'"; status=1; }
out=$("$program" -platform xcb --help 2>&1) || { echo "--help exited with $?: $out"; status=1; }
case $out in
  "usage: trawlscope "*--version*) ;;
  *) echo "--help printed '$out'"; status=1 ;;
esac
exit $status
