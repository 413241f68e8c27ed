#include "platform/journal/RecordFields.h"

#include <cstdio>

#include "platform/journal/ContentHash.h"

namespace trawlscope::record {
namespace {

constexpr size_t kHashDigits = 64;
// Enough to tell a damaged line from a sound one; the originals have full hashes of their own.
constexpr size_t kLineCheckDigits = 16;

}  // namespace

std::string Escaped(std::string_view text) {
  std::string out;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == '%' || byte == 0x7F) {
      char code[4];
      std::snprintf(code, sizeof code, "%%%02X", byte);
      out += code;
    } else {
      out += c;
    }
  }
  return out;
}

std::optional<std::string> Unescaped(std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      out += text[i];
      continue;
    }
    unsigned value = 0;
    if (i + 2 >= text.size() ||
        std::from_chars(text.data() + i + 1, text.data() + i + 3, value, 16).ptr != text.data() + i + 3)
      return std::nullopt;
    out += static_cast<char>(value);
    i += 2;
  }
  return out;
}

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  for (size_t start = 0;;) {
    const size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

std::string CheckedLine(const std::string& body) {
  return body + "\t" + ContentHash(body).substr(0, kLineCheckDigits) + "\n";
}

std::optional<std::string_view> CheckedBody(std::string_view line) {
  const size_t tab = line.rfind('\t');
  if (tab == std::string_view::npos) return std::nullopt;
  const std::string_view body = line.substr(0, tab);
  if (line.substr(tab + 1) != std::string_view(ContentHash(body)).substr(0, kLineCheckDigits)) return std::nullopt;
  return body;
}

bool IsHash(std::string_view text) {
  return text.size() == kHashDigits && text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

}  // namespace trawlscope::record
