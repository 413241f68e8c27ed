#!/bin/sh
# Replace speed on the Japanese corpus against `sed -i` over the same UTF-8
# files (each run on a fresh copy), then a check that the replace changed
# exactly what a search lists and a second search finds nothing.
# Usage: bench/replace-ja.sh BUILD_DIR CORPORA_DIR [SCRATCH_DIR]   (CORPORA_DIR from bench/make-corpora.sh)
set -e
build=$(cd "${1:?build folder}" && pwd)
corpora=$(cd "${2:?corpora folder}" && pwd)
scratch=${3:-/tmp/trawlscope-replace-bench}
batch="$build/tools/trawlscope-batch"
mkdir -p "$scratch"
# Each replace keeps its originals for undo, as a user's does; here they go
# beside the copies, never into the user's own journal.
export XDG_STATE_HOME="$scratch/state"

hyperfine -N --warmup 1 --runs "${RUNS:-5}" \
  --prepare "sh -c 'rm -rf $scratch/utf8 && cp -r $corpora/ja/utf8 $scratch/utf8'" \
  "sh -c 'find $scratch/utf8 -type f -exec sed -i s/関数/函数/g {} +'" \
  "$batch --path $scratch/utf8 --subfolders --case --replace 函数 関数"

echo "== the whole corpus, four encodings"
rm -rf "$scratch/ja" && cp -r "$corpora/ja" "$scratch/ja"
"$batch" --path "$scratch/ja" --subfolders --case 関数 > "$scratch/before.txt" 2> "$scratch/before-count.txt"
/usr/bin/time -f "replace run: %e s, %M KB" \
  "$batch" --path "$scratch/ja" --subfolders --case --replace 函数 関数 > "$scratch/replaced.txt"
echo "search before:  $(cat "$scratch/before-count.txt")"
echo "files searched with hits: $(cut -f1 "$scratch/before.txt" | sort -u | wc -l)"
echo "files changed:  $(grep -c '	changed ' "$scratch/replaced.txt")"
echo "replacements:   $(grep '	changed ' "$scratch/replaced.txt" | awk '{s += $NF} END {print s}')"
echo "left unchanged: $(grep -c '	left unchanged' "$scratch/replaced.txt" || true)"
cut -f1 "$scratch/before.txt" | sort -u > "$scratch/hit-files.txt"
grep '	changed ' "$scratch/replaced.txt" | cut -f1 | sort > "$scratch/changed-files.txt"
if cmp -s "$scratch/hit-files.txt" "$scratch/changed-files.txt"; then echo "changed files = files with hits"; else echo "changed files DIFFER from files with hits"; fi
"$batch" --path "$scratch/ja" --subfolders --case 関数 > /dev/null 2> "$scratch/after-count.txt"
echo "search after:   $(cat "$scratch/after-count.txt")"
