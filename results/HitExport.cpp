#include "results/HitExport.h"

#include "platform/codepage/CodePageTable.h"
#include "platform/files/NativePath.h"
#include "search/text/TextFileWriter.h"

namespace trawlscope {

namespace {
constexpr char16_t kIdeographicSpace = u'\x3000';
}

std::u16string FlattenField(std::u16string_view text) {
  std::u16string flat;
  flat.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
      flat += kIdeographicSpace;
      ++i;
    } else if (c == u'\r' || c == u'\n' || c == u'\t') {
      flat += kIdeographicSpace;
    } else {
      flat += c;
    }
  }
  return flat;
}

namespace {

const Hit& AsHit(const Hit& hit) { return hit; }
const Hit& AsHit(const Hit* hit) { return *hit; }

template <typename Hits>
std::u16string TabbedText(const Hits& hits) {
  std::u16string text;
  for (const auto& each : hits) {
    const Hit& hit = AsHit(each);
    text += FlattenField(DisplayPath(hit.FileName()));
    text += u'\t';
    text += FlattenField(hit.LeftContext());
    text += u'\t';
    text += FlattenField(hit.Keyword());
    text += u'\t';
    text += FlattenField(hit.RightContext());
    text += u'\n';
  }
  return text;
}

}  // namespace

std::string Utf8Text(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
    } else if (c >= 0xD800 && c < 0xE000) {
      c = 0xFFFD;  // a half of a pair alone
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
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

std::u16string ExportText(const HitList& hits) { return TabbedText(hits); }
std::u16string ExportText(const std::vector<const Hit*>& hits) { return TabbedText(hits); }

std::string CsvField(std::string_view text) {
  if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string CsvBytes(const std::vector<const Hit*>& hits) {
  std::string bytes = "path,line,position,length,code_page,left_context,keyword,right_context\r\n";
  for (const Hit* hit : hits) {
    bytes += CsvField(Utf8Text(DisplayPath(hit->FullPath())));
    for (const std::int64_t number : {hit->line, hit->position, hit->length, static_cast<std::int64_t>(hit->FileCodePage())})
      bytes += ',' + std::to_string(number);
    for (const std::u16string& field : {hit->LeftContext(), hit->Keyword(), hit->RightContext()})
      bytes += ',' + CsvField(Utf8Text(field));
    bytes += "\r\n";
  }
  return bytes;
}

std::string ExportBytes(const HitList& hits) {
  // UTF-16 LE carries every code unit, so this always has a value.
  return *TextFileBytes(ExportText(hits), codepage::kUtf16Le, true);
}

WriteResult ExportHits(const HitList& hits, const std::u16string& path, ExportFormat format) {
  if (format == ExportFormat::Tabbed) return WriteTextFile(path, ExportText(hits), codepage::kUtf16Le, true);
  std::vector<const Hit*> all;
  all.reserve(hits.size());
  for (const Hit& hit : hits) all.push_back(&hit);
  return ExportHits(all, path, format);
}

WriteResult ExportHits(const std::vector<const Hit*>& hits, const std::u16string& path, ExportFormat format) {
  if (format == ExportFormat::Tabbed) return WriteTextFile(path, ExportText(hits), codepage::kUtf16Le, true);
  return WriteWholeFile(ToNativePath(path), CsvBytes(hits));
}

}  // namespace trawlscope
