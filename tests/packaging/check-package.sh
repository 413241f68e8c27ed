#!/bin/sh
# Makes the Debian package from a build folder, into a temporary folder so
# that nothing is installed or left behind, and checks what it holds and
# what it depends on.
# Usage: check-package.sh BUILD_DIR VERSION
set -eu
build=$(cd "${1:?build folder}" && pwd)
version=${2:?version}
for tool in cpack dpkg-deb dpkg-shlibdeps file; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is not installed (apt-get install cmake dpkg-dev file)"
    exit 77
  fi
done
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }
package=$(ls "$work"/trawlscope_*.deb)
status=0
fail() { echo "$*"; status=1; }

dpkg-deb -c "$package" | awk '$1 !~ /^d/ {print $6}' | sort > "$work/files"
for file in ./usr/bin/trawlscope ./usr/bin/trawlscope-batch \
            ./usr/share/applications/trawlscope.desktop \
            ./usr/share/icons/hicolor/scalable/apps/trawlscope.svg \
            ./usr/share/icons/hicolor/64x64/apps/trawlscope.png \
            ./usr/share/metainfo/io.github.trawlscope.Trawlscope.metainfo.xml \
            ./usr/share/man/man1/trawlscope.1.gz ./usr/share/man/man1/trawlscope-batch.1.gz \
            ./usr/lib/trawlscope/trawlscope-git.so ./usr/lib/trawlscope/trawlscope-xml.so \
            ./usr/lib/trawlscope/trawlscope-archive.so ./usr/lib/trawlscope/trawlscope-catalogue.so; do
  grep -qx "$file" "$work/files" || fail "missing from the package: $file"
done
# Only the two programs: no test, benchmark or screenshot tool slips in.
extra=$(grep '^./usr/bin/' "$work/files" | grep -vx -e ./usr/bin/trawlscope -e ./usr/bin/trawlscope-batch || true)
[ -z "$extra" ] || fail "unexpected programs in the package: $extra"
outside=$(grep -v '^./usr/' "$work/files" || true)
[ -z "$outside" ] || fail "files outside /usr: $outside"

field() { dpkg-deb -f "$package" "$1"; }
[ "$(field Package)" = trawlscope ] || fail "Package is '$(field Package)'"
[ "$(field Version)" = "$version" ] || fail "Version is '$(field Version)', the project's is $version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
[ -n "$(field Description)" ] || fail "no Description"
depends=$(field Depends)
# The libraries the programs link, whatever their Debian release's versions.
for library in 'libqt6widgets6' 'libqt6core6' 'libicu[0-9]+' 'libboost-regex1\.[0-9.]+(-icu[0-9]+)?' 'libuchardet0' 'libarchive13' 'libdeflate0' \
               'libxml2' 'libglib2\.0-0' 'libgit2-[0-9.]+' 'libc6' 'libstdc\+\+6'; do
  printf '%s\n' "$depends" | tr ',' '\n' | grep -Eq "^ *$library( |$)" || fail "Depends lacks $library: $depends"
done
printf '%s\n' "$(field Recommends)" | grep -q 'qt6-translations-l10n' || fail "Recommends lacks qt6-translations-l10n"
# The installed tool finds its modules beside bin/, and names one that is missing.
dpkg-deb -x "$package" "$work/root"
mkdir -p "$work/tree"
printf 'needle\n' > "$work/tree/a.txt"
batch="$work/root/usr/bin/trawlscope-batch"
found=$(LANGUAGE=en LC_ALL=C.UTF-8 "$batch" --gitignore --path "$work/tree" needle 2>"$work/err") ||
  fail "the installed tool's --gitignore search failed: $(cat "$work/err")"
[ "$found" = "$(printf '%s\t1\t0\t6\tneedle' "$work/tree/a.txt")" ] || fail "the installed tool found '$found'"
rm "$work/root/usr/lib/trawlscope/trawlscope-git.so"
code=0
LANGUAGE=en LC_ALL=C.UTF-8 "$batch" --gitignore --path "$work/tree" needle >"$work/out" 2>"$work/err" || code=$?
[ $code = 2 ] || fail "without its git module, --gitignore exited with $code"
grep -q 'trawlscope-git.so' "$work/err" || fail "without its git module, stderr does not name it: $(cat "$work/err")"
[ ! -s "$work/out" ] || fail "without its git module, --gitignore still searched: $(cat "$work/out")"
# A search that needs no module is untouched.
[ "$(LANGUAGE=en LC_ALL=C.UTF-8 "$batch" --path "$work/tree" needle 2>/dev/null)" = "$found" ] ||
  fail "without the git module, a plain search changed"

[ $status = 0 ] && { echo "$(basename "$package"):"; dpkg-deb -f "$package" Package Version Section Depends; }
exit $status
