#!/bin/bash
# Builds the corpora the benchmarks search, from Debian 12 packages, under
# DIR (default $TRAWLSCOPE_CORPORA, else ~/trawlscope-corpora):
#   linux/         the Linux 6.1 source tree (linux-source-6.1)
#   ja/utf8/       Japanese manual pages (roff source) and HTML/text documentation, as shipped
#   ja/sjis/       the same files in CP932 (Shift_JIS as Windows writes it)
#   ja/eucjp/      the same files in EUC-JP
#   ja/utf16le/    the same files in UTF-16 LE, each with a byte-order mark
#   ja-gz/         ja/eucjp's manual pages gzipped, as they ship
#   mixed/         manual pages of eight languages in the code pages their users
#                  keep, UTF-8 and UTF-16 among them, side by side in one tree
#   logs/          which files needed transliteration, and which were left out
#   SIZES.txt      bytes and files of each part
# The packages are only downloaded and unpacked, never installed, so nothing
# on the machine changes. Needs apt-get, dpkg-deb, tar, xz, gzip and glibc's
# iconv; run as root. Usage: bench/make-corpora.sh [DIR]
set -euo pipefail
root=${1:-${TRAWLSCOPE_CORPORA:-$HOME/trawlscope-corpora}}
mkdir -p "$root"
root=$(cd "$root" && pwd)
debs=$root/_debs
unpacked=$debs/x
mkdir -p "$unpacked" "$root/logs"
cd "$debs"

ja_man_packages=(manpages-ja manpages-ja-dev)
ja_doc_packages=(debian-reference-ja developers-reference-ja debian-policy-ja debian-faq-ja
                 maint-guide-ja aptitude-doc-ja debian-edu-doc-ja gimp-help-ja)
mixed_packages=(manpages-ru manpages-pl manpages-cs manpages-de manpages-fr manpages-el manpages-zh)

# apt-get download fetches the .deb files alone: no dependencies come along.
apt-get update
apt-get download linux-source-6.1 "${ja_man_packages[@]}" "${ja_doc_packages[@]}" "${mixed_packages[@]}"

unpack() {  # $1 = package: its files under $unpacked/$1
  rm -rf "${unpacked:?}/$1"
  mkdir -p "$unpacked/$1"
  dpkg-deb -x "$1"_*_all.deb "$unpacked/$1"
}

# Regular files only, NUL-separated and sorted, below a folder: the packages'
# symbolic links would count the same page twice.
files_under() { (cd "$1" && find . -type f "${@:2}" -print0 | sort -z); }

echo "== linux"
unpack linux-source-6.1
rm -rf "$root/linux"
mkdir -p "$root/linux"
tar -C "$root/linux" -xJf "$unpacked/linux-source-6.1/usr/src/linux-source-6.1.tar.xz"
rm -rf "${unpacked:?}/linux-source-6.1"  # the tarball is large and no longer needed

echo "== ja/utf8"
rm -rf "$root/ja"
mkdir -p "$root/ja/utf8"
for package in "${ja_man_packages[@]}"; do
  unpack "$package"
  man=$unpacked/$package/usr/share/man/ja
  files_under "$man" -name '*.gz' | while IFS= read -r -d '' file; do
    out=$root/ja/utf8/man/${file#./}
    out=${out%.gz}
    mkdir -p "$(dirname "$out")"
    zcat "$man/$file" > "$out"
  done
done
for package in "${ja_doc_packages[@]}"; do
  unpack "$package"
  files_under "$unpacked/$package" \( -name '*.html' -o -name '*.txt' \) | while IFS= read -r -d '' file; do
    out=$root/ja/utf8/doc/$package/${file#./usr/share/}
    mkdir -p "$(dirname "$out")"
    cp "$unpacked/$package/$file" "$out"
  done
done
# Every other encoding is made from these, so each must be valid UTF-8.
files_under "$root/ja/utf8" | while IFS= read -r -d '' file; do
  iconv -f UTF-8 -t UTF-8 "$root/ja/utf8/$file" > /dev/null 2>&1 ||
    { echo "not UTF-8, left out: $file"; rm -f "$root/ja/utf8/$file"; }
done

# Writes the UTF-8 file $1 in the encoding $2 to $3, after a UTF-16 LE
# byte-order mark when $2 is UTF-16LE. A character the encoding lacks (the
# HTML's no-break spaces, a copyright sign, accented letters) makes strict
# iconv fail; then it is transliterated and its name is written to $4. A file
# that still fails is left out and its name written to $5.
transcode_file() {
  local from=$1 encoding=$2 out=$3 translit_log=$4 skipped_log=$5 target
  for target in "$encoding" "$encoding//TRANSLIT"; do
    if { [ "$encoding" != UTF-16LE ] || printf '\xff\xfe'; iconv -f UTF-8 -t "$target" < "$from"; } > "$out" 2>/dev/null; then
      [ "$target" = "$encoding" ] || echo "${out#"$root"/}" >> "$translit_log"
      return 0
    fi
  done
  rm -f "$out"
  echo "${out#"$root"/}" >> "$skipped_log"
}

for pair in sjis:CP932 eucjp:EUC-JP utf16le:UTF-16LE; do
  folder=${pair%%:*}
  encoding=${pair#*:}
  echo "== ja/$folder"
  : > "$root/logs/TRANSLIT-$folder.txt"
  : > "$root/logs/SKIPPED-$folder.txt"
  files_under "$root/ja/utf8" | while IFS= read -r -d '' file; do
    out=$root/ja/$folder/${file#./}
    mkdir -p "$(dirname "$out")"
    transcode_file "$root/ja/utf8/$file" "$encoding" "$out" \
      "$root/logs/TRANSLIT-$folder.txt" "$root/logs/SKIPPED-$folder.txt"
  done
done

echo "== mixed"
rm -rf "$root/mixed"
mkdir -p "$root/mixed"
: > "$root/logs/TRANSLIT-mixed.txt"
: > "$root/logs/SKIPPED-mixed.txt"
# $1 = package, $2 = its locale folder, then the legacy encodings of that
# language. Pages take the encodings in turn, UTF-8 and UTF-16 LE included,
# and each keeps its encoding as the extension (ls.1.KOI8-R).
mixed_language() {
  local package=$1 locale=$2
  shift 2
  local encodings=("$@" UTF-8 UTF-16LE) man=$unpacked/$package/usr/share/man/$locale i=0
  [ -d "$unpacked/$package" ] || unpack "$package"  # manpages-zh serves two locales
  [ -d "$man" ] || return 0
  files_under "$man" -name '*.gz' | while IFS= read -r -d '' file; do
    local encoding=${encodings[$((i % ${#encodings[@]}))]}
    i=$((i + 1))
    local out=$root/mixed/$locale/${file#./}
    out=${out%.gz}.$encoding
    mkdir -p "$(dirname "$out")"
    zcat "$man/$file" > "$out.utf8"
    transcode_file "$out.utf8" "$encoding" "$out" "$root/logs/TRANSLIT-mixed.txt" "$root/logs/SKIPPED-mixed.txt"
    rm -f "$out.utf8"
  done
}
mixed_language manpages-ru ru KOI8-R CP1251
mixed_language manpages-pl pl CP1250 ISO-8859-2
mixed_language manpages-cs cs CP1250 ISO-8859-2
mixed_language manpages-de de CP1252 ISO-8859-1
mixed_language manpages-fr fr CP1252 ISO-8859-1
mixed_language manpages-el el ISO-8859-7
mixed_language manpages-zh zh_CN CP936
mixed_language manpages-zh zh_TW CP950
# Japanese: every fourth manual page of the Shift_JIS and EUC-JP copies.
(cd "$root/ja" && find sjis eucjp -type f -path '*/man/*' | sort | awk 'NR % 4 == 0') |
  while IFS= read -r file; do
    mkdir -p "$root/mixed/ja/$(dirname "$file")"
    cp "$root/ja/$file" "$root/mixed/ja/$file"
  done

# The EUC-JP manual pages gzipped as Debian ships them, for bench/search-compressed.sh.
rm -rf "$root/ja-gz"
cp -r "$root/ja/eucjp/man" "$root/ja-gz"
find "$root/ja-gz" -type f -exec gzip -9n {} +

for part in "$root/linux" "$root/ja" "$root"/ja/*/ "$root/ja-gz" "$root/mixed"; do
  printf '%s\t%s bytes\t%s files\n' "$part" \
    "$(find "$part" -type f -printf '%s\n' | awk '{ s += $1 } END { print s + 0 }')" \
    "$(find "$part" -type f | wc -l)"
done | tee "$root/SIZES.txt"
