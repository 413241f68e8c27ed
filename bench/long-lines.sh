#!/bin/sh
# Expression searches over single long lines, against ripgrep: each line is
# full of matches, so a search whose work grows with the square of a line's
# length shows here at once (1 MB took minutes where it should take a blink).
# The lines double in length: the times should double with them.
# Usage: bench/long-lines.sh BUILD_DIR [WORK_DIR]      Needs: apt-get install hyperfine ripgrep
set -e
build=$(cd "${1:?build folder}" && pwd)
work=${2:-/tmp/trawlscope-long-lines}
mkdir -p "$work"
cd "$work"
for kb in 256 512 1024; do
  python3 -c "import sys; n=$kb*1024; sys.stdout.write(('abcde fghij ' * (n // 12)) + '\n')" > "ascii-$kb.txt"
  python3 -c "import sys; n=$kb*1024//3; sys.stdout.write('関数の呼び出し' * (n // 7) + '\n')" > "ja-$kb.txt"
done
for kb in 256 512 1024; do
  hyperfine -N --warmup 1 --runs "${RUNS:-5}" \
    "rg -uu --count-matches e. ascii-$kb.txt" "$build/tools/trawlscope-batch --path ascii-$kb.txt --regex e." \
    "rg -uu --count-matches 関. ja-$kb.txt" "$build/tools/trawlscope-batch --path ja-$kb.txt --regex 関."
done
