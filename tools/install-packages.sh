#!/bin/sh
# Installs the Debian 12 packages that building, running and testing Trawlscope need.
# Quiet and quick when everything is already there; uses sudo when not run as root.
set -e
PACKAGES="cmake ninja-build g++ pkg-config
  libgtest-dev libboost-regex-dev libicu-dev libuchardet-dev libxml2-dev libarchive-dev libgit2-dev libdeflate-dev
  qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n libglib2.0-dev fonts-ipafont-gothic
  clang libclang-rt-14-dev
  dpkg-dev file desktop-file-utils appstream groff-base mandoc"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

as_root=""
[ "$(id -u)" -eq 0 ] || as_root="sudo"
export DEBIAN_FRONTEND=noninteractive
$as_root apt-get update -qq
$as_root apt-get install -y -qq --no-install-recommends $missing >/dev/null
