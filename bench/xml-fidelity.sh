#!/bin/sh
# Fidelity of XML replacement on real documents: copies up to N ".xml" files
# found under a folder, replaces the first word of five letters or more found
# in element text (XPath //*) with WORD_X, and checks that each changed file
# differs from its original only there.
# Usage: bench/xml-fidelity.sh BUILD_DIR [FOLDER] [N]
set -e
build=$(cd "${1:?build folder}" && pwd)
folder=${2:-/usr/share}
count=${3:-40}
batch="$build/tools/trawlscope-batch"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
find "$folder" -name '*.xml' -type f -size -2M 2>/dev/null | sort | head -n "$count" > "$work/list"
same=0; differ=0; unchanged=0; left=0; nohit=0; n=0
while IFS= read -r source; do
  n=$((n + 1))
  copy="$work/$n.xml"
  cp "$source" "$copy"
  word=$("$batch" --path "$copy" --xpath '//*' --regex --case '\b[A-Za-z]{5,}\b' 2>/dev/null | head -n 1 | cut -f5)
  if [ -z "$word" ]; then nohit=$((nohit + 1)); echo "no word in element text: $source"; continue; fi
  outcome=$("$batch" --path "$copy" --xpath '//*' --case --replace "${word}_X" "$word" 2>/dev/null | cut -f2)
  case "$outcome" in
    changed*)
      if python3 -c "import sys; a=open(sys.argv[1],'rb').read(); b=open(sys.argv[2],'rb').read(); sys.exit(0 if b.replace(sys.argv[3].encode()+b'_X', sys.argv[3].encode())==a and a!=b else 1)" "$source" "$copy" "$word"; then
        same=$((same + 1))
      else
        differ=$((differ + 1)); echo "DIFFERS beyond the word: $source"
      fi ;;
    unchanged) unchanged=$((unchanged + 1)); echo "unchanged: $source ($word)";;
    *) left=$((left + 1)); echo "$outcome: $source";;
  esac
done < "$work/list"
echo "files: $n; changed only in the word: $same; changed elsewhere too: $differ; left unchanged with a reason: $left; nothing to change: $unchanged; no word found: $nohit"
