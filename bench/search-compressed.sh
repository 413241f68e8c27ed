#!/bin/sh
# Searching compressed files against the same files uncompressed: the EUC-JP
# manual pages gzipped as Debian ships them (ja-gz/ from bench/make-corpora.sh,
# or a gzipped copy made in a temporary folder when that is missing) beside
# ja/eucjp/man. The compressed run should cost at most 1.5 times the plain one.
# With a third folder, another build (say main's, before a change) searches the
# compressed pages in the same runs, side by side.
# Usage: bench/search-compressed.sh BUILD_DIR CORPORA_DIR [OTHER_BUILD_DIR]
set -e
build=$(cd "${1:?build folder}" && pwd)
corpora=$(cd "${2:?corpora folder}" && pwd)
other=${3:+$(cd "$3" && pwd)/tools/trawlscope-batch}
plain=$corpora/ja/eucjp/man
packed=$corpora/ja-gz
if [ ! -d "$packed" ]; then
  packed=$(mktemp -d)
  trap 'rm -rf "$packed"' EXIT
  cp -r "$plain/." "$packed"
  find "$packed" -type f -exec gzip -9n {} +
fi
batch=$build/tools/trawlscope-batch
for text in 関数 ファイル; do
  hyperfine -N --warmup 2 --runs "${RUNS:-10}" \
    "$batch --path $plain --subfolders $text" "$batch --path $packed --subfolders $text" \
    ${other:+"$other --path $packed --subfolders $text"}
  echo "hits: plain $("$batch" --path "$plain" --subfolders "$text" 2>&1 >/dev/null | tail -1)," \
       "compressed $("$batch" --path "$packed" --subfolders "$text" 2>&1 >/dev/null | tail -1)"
done
