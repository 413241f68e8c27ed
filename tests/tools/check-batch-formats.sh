#!/bin/sh
# trawlscope-batch --format tsv|csv|json read back by Python's own CSV and
# JSON readers: every hit of the plain lines is there, with its contexts, in
# a file whose text holds commas, quotes, TABs, line breaks and Japanese in
# Shift_JIS; the path of a file named in Latin-1 reads back as its bytes by
# the escape the manual gives.
set -e
batch=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
# The cache of detected code pages goes with the rest, not to the user's own.
export XDG_CACHE_HOME="$dir/cache"
mkdir "$dir/in"
printf 'a, "key"\there\nkey\r\nend key\n' > "$dir/in/plain, name.txt"
printf '\223\372\226\173 key \214\352\n' > "$dir/in/sjis.txt"   # 日本 key 語 in Shift_JIS
mkdir "$dir/l1"   # a folder of its own: in --path, a backslash separates folders
printf 'key\n' > "$dir/l1/caf$(printf '\351')\\x41.txt"   # "café\x41.txt" in Latin-1
"$batch" --path "$dir/in/plain, name.txt" key > "$dir/lines-plain.txt" 2>/dev/null
for format in tsv csv json; do
  "$batch" --path "$dir/in/plain, name.txt" --format $format key > "$dir/plain.$format" 2>/dev/null
  "$batch" --path "$dir/in/sjis.txt" --encoding 932 --format $format key > "$dir/sjis.$format" 2>/dev/null
  "$batch" --path "$dir/l1" --format $format key > "$dir/latin1.$format" 2>/dev/null
done
python3 - "$dir" <<'PY'
import csv, json, os, re, sys
d = sys.argv[1]
def read(name, fmt):
    with open(f"{d}/{name}.{fmt}", encoding="utf-8", newline="") as f:
        if fmt == "json":
            return [json.loads(line) for line in f]
        rows = list(csv.DictReader(f, delimiter="\t" if fmt == "tsv" else ",", quoting=csv.QUOTE_NONE if fmt == "tsv" else csv.QUOTE_MINIMAL))
        for r in rows:
            for k in ("line", "position", "length", "code_page"):
                r[k] = int(r[k])
        return rows
def name_bytes(field):
    # A run of n backslashes before x and two hex digits: n // 2 backslashes,
    # then for an odd n the byte the digits give, else the text as it is.
    def one(m):
        run, tail = len(m.group(1)), m.group(2)
        return b"\\" * (run // 2) + (bytes([int(tail[1:], 16)]) if run % 2 else tail)
    return re.sub(rb"(\\+)(x[0-9A-Fa-f]{2})", one, field.encode("utf-8"))
fields = ["path", "line", "position", "length", "code_page", "left_context", "keyword", "right_context"]
with open(f"{d}/lines-plain.txt", encoding="utf-8") as f:
    plain = [l.rstrip("\n").split("\t") for l in f]
for fmt in ("tsv", "csv", "json"):
    rows = read("plain", fmt)
    assert [list(r.keys()) for r in rows] == [fields] * len(rows), (fmt, rows)
    assert [[r["path"], str(r["line"]), str(r["position"]), str(r["length"]), r["keyword"]] for r in rows] == plain, (fmt, rows, plain)
    assert rows[0]["path"] == f"{d}/in/plain, name.txt"
    first = rows[0]
    want_left, want_right = 'a, "', '"\there\nkey\r\nend key\n'
    if fmt == "tsv":  # a TAB or line break in a field is an ideographic space there
        want_right = want_right.replace("\r\n", "\u3000").replace("\t", "\u3000").replace("\n", "\u3000")
    assert first["left_context"] == want_left, (fmt, first)
    assert first["right_context"].startswith(want_right[:8]), (fmt, first)
    sj = read("sjis", fmt)
    assert len(sj) == 1 and sj[0]["code_page"] == 932, (fmt, sj)
    assert sj[0]["left_context"] == "日本 " and sj[0]["keyword"] == "key" and sj[0]["right_context"].startswith(" 語"), (fmt, sj)
    l1 = read("latin1", fmt)
    assert len(l1) == 1 and name_bytes(l1[0]["path"]) == os.fsencode(f"{d}/l1/") + b"caf\xe9\\x41.txt", (fmt, l1)
print("formats read back")
PY
