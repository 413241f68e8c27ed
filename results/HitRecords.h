#pragma once
// A hit as a record other programs read: the same eight fields (full path,
// line, position, length, code page number, left context, keyword, right
// context) as TAB-separated values, CSV (RFC 4180, CRLF-ended, quoted where
// needed) or a JSON object on one line. Text is UTF-8; the path is written
// as EscapedName writes it, and a lone half of a surrogate pair in the text
// becomes U+FFFD.
#include <string>
#include <string_view>

#include "search/hits/Hit.h"

namespace trawlscope {

enum class RecordFormat { Tsv, Csv, Json };

// The line of field names that starts a TSV or CSV; empty for JSON lines.
std::string RecordHeader(RecordFormat format);

// The path field's text for the hits of one file (made once per file).
std::string RecordPath(const HitFile& file, RecordFormat format);

// One hit's line, `path` being RecordPath of its file. In TSV a TAB
// or line break inside a field becomes an IDEOGRAPHIC SPACE, as in the
// program's own output file.
void AppendRecord(std::string& out, const Hit& hit, std::string_view path, RecordFormat format);

// UTF-8 of `text`, a lone half of a surrogate pair as U+FFFD.
std::string Utf8Text(std::u16string_view text);
// A JSON string of UTF-8 text, quoted, with what JSON asks escaped.
std::string JsonString(std::string_view utf8);
// One CSV field, quoted when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

}  // namespace trawlscope
