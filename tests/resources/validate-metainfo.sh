#!/bin/sh
# The AppStream metainfo as appstreamcli (appstream) validates it, offline,
# and tied to the desktop entry and programs that really exist.
# Usage: validate-metainfo.sh SOURCE_DIR
set -eu
resources=${1:?source folder}/resources
metainfo=$resources/io.github.trawlscope.Trawlscope.metainfo.xml
if ! command -v appstreamcli >/dev/null 2>&1; then
  echo "skipped: appstreamcli is not installed (apt-get install appstream)"
  exit 77
fi
# Warnings make it fail; pedantic hints (no release history) do not.
appstreamcli validate --no-net "$metainfo"
# The launchable must name the desktop entry that is installed.
grep -q '<launchable type="desktop-id">trawlscope.desktop</launchable>' "$metainfo" ||
  { echo "the launchable does not name trawlscope.desktop"; exit 1; }
[ -f "$resources/trawlscope.desktop" ] || { echo "resources/trawlscope.desktop is missing"; exit 1; }
for program in trawlscope trawlscope-batch; do
  grep -q "<binary>$program</binary>" "$metainfo" || { echo "provides does not name $program"; exit 1; }
done
