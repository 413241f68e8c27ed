#include "results/HitRecords.h"

#include <charconv>
#include <cstdint>

#include <unicode/ustring.h>

#include "platform/files/NativePath.h"
#include "results/HitExport.h"

namespace trawlscope {
namespace {

constexpr const char* kFieldNames[] = {"path", "line", "position", "length", "code_page",
                                       "left_context", "keyword", "right_context"};

void AppendNumber(std::string& out, std::int64_t value) {
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  out.append(digits, end);
}

}  // namespace

std::string Utf8Text(std::u16string_view text) {
  // ICU puts U+FFFD in for a lone half of a surrogate pair, as JSON readers want.
  std::string out(text.size() * 3, '\0');
  int32_t length = 0;
  UErrorCode status = U_ZERO_ERROR;
  u_strToUTF8WithSub(out.data(), static_cast<int32_t>(out.size()), &length, reinterpret_cast<const UChar*>(text.data()),
                     static_cast<int32_t>(text.size()), 0xFFFD, nullptr, &status);
  out.resize(U_SUCCESS(status) ? static_cast<size_t>(length) : 0);
  return out;
}

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (const char c : utf8) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (u < 0x20) {
      static const char kHex[] = "0123456789abcdef";
      out += "\\u00";
      out += kHex[u >> 4];
      out += kHex[u & 15];
    } else {
      out += c;
    }
  }
  return out + '"';
}

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string RecordPath(const HitFile& file, RecordFormat format) {
  // Escaped as the hit lines are (never a TAB or line break), so that a reader gets the name back.
  return EscapedName(ToNativePath(file.folder + file.fileName));
}

std::string RecordHeader(RecordFormat format) {
  if (format == RecordFormat::Json) return {};
  std::string header;
  for (const char* name : kFieldNames) {
    if (!header.empty()) header += format == RecordFormat::Csv ? ',' : '\t';
    header += name;
  }
  return header + (format == RecordFormat::Csv ? "\r\n" : "\n");
}

void AppendRecord(std::string& out, const Hit& hit, std::string_view path, RecordFormat format) {
  const std::int64_t numbers[] = {hit.line, hit.position, hit.length, static_cast<std::int64_t>(hit.FileCodePage())};
  const TextView texts[] = {hit.LeftView(), hit.KeywordView(), hit.RightView()};
  switch (format) {
    case RecordFormat::Tsv:
      out += path;
      for (const std::int64_t number : numbers) {
        out += '\t';
        AppendNumber(out, number);
      }
      for (const TextView& text : texts) {
        out += '\t';
        out += Utf8Text(FlattenField(text.ToString()));
      }
      out += '\n';
      break;
    case RecordFormat::Csv:
      out += CsvField(path);
      for (const std::int64_t number : numbers) {
        out += ',';
        AppendNumber(out, number);
      }
      for (const TextView& text : texts) {
        out += ',';
        out += CsvField(Utf8Text(text.ToString()));
      }
      out += "\r\n";
      break;
    case RecordFormat::Json:
      out += "{\"path\":";
      out += JsonString(path);
      for (size_t i = 0; i < 4; ++i) {
        out += ",\"";
        out += kFieldNames[1 + i];
        out += "\":";
        AppendNumber(out, numbers[i]);
      }
      for (size_t i = 0; i < 3; ++i) {
        out += ",\"";
        out += kFieldNames[5 + i];
        out += "\":";
        out += JsonString(Utf8Text(texts[i].ToString()));
      }
      out += "}\n";
      break;
  }
}

}  // namespace trawlscope
