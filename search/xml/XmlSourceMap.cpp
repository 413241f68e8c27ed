#include "search/xml/XmlSourceMap.h"

#include <cstdint>

namespace trawlscope {
namespace {

bool StartsWith(std::u16string_view s, size_t at, std::u16string_view prefix) {
  return s.substr(at, prefix.size()) == prefix;
}

void AppendCodePoint(std::u16string& out, std::uint32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 + (c >> 10));
    out += static_cast<char16_t>(0xDC00 + (c & 0x3FF));
  }
}

// Resolves the reference at s[at] ('&'); false for one the parser would keep
// as an entity of the document's own.
bool ResolveReference(std::u16string_view s, size_t at, size_t& end, std::u16string& out) {
  const size_t semicolon = s.find(u';', at);
  if (semicolon == std::u16string_view::npos) return false;
  const std::u16string_view name = s.substr(at + 1, semicolon - at - 1);
  end = semicolon + 1;
  if (name == u"amp") return out += u'&', true;
  if (name == u"lt") return out += u'<', true;
  if (name == u"gt") return out += u'>', true;
  if (name == u"quot") return out += u'"', true;
  if (name == u"apos") return out += u'\'', true;
  if (name.size() < 2 || name[0] != u'#') return false;
  std::uint32_t value = 0;
  const bool hex = name[1] == u'x';
  for (size_t i = hex ? 2 : 1; i < name.size(); ++i) {
    const char16_t c = name[i];
    int digit = -1;
    if (c >= u'0' && c <= u'9') digit = c - u'0';
    else if (hex && c >= u'a' && c <= u'f') digit = c - u'a' + 10;
    else if (hex && c >= u'A' && c <= u'F') digit = c - u'A' + 10;
    if (digit < 0 || value > 0x10FFFF) return false;
    value = value * (hex ? 16 : 10) + static_cast<std::uint32_t>(digit);
  }
  if (value == 0 || value > 0x10FFFF) return false;
  AppendCodePoint(out, value);
  return true;
}

// Character data between two pieces of markup, as the parser reads it.
std::optional<XmlSourceRun> TextRun(std::u16string_view s, size_t begin, size_t end) {
  XmlSourceRun run;
  for (size_t i = begin; i < end;) {
    const size_t before = run.text.size();
    size_t next = i + 1;
    if (s[i] == u'&') {
      if (!ResolveReference(s, i, next, run.text) || next > end) return std::nullopt;
    } else if (s[i] == u'\r') {
      run.text += u'\n';  // CR LF and a lone CR both read as LF
      if (i + 1 < end && s[i + 1] == u'\n') next = i + 2;
    } else {
      run.text += s[i];
    }
    for (size_t k = before; k < run.text.size(); ++k) run.source.push_back(i);
    i = next;
  }
  run.source.push_back(end);
  return run;
}

XmlSourceRun CdataRun(std::u16string_view s, size_t begin, size_t end) {
  XmlSourceRun run;
  run.isCdata = true;
  for (size_t i = begin; i < end; ++i) {
    if (s[i] == u'\r') {
      run.text += u'\n';
      run.source.push_back(i);
      if (i + 1 < end && s[i + 1] == u'\n') ++i;
      continue;
    }
    run.text += s[i];
    run.source.push_back(i);
  }
  run.source.push_back(end);
  return run;
}

// The end of a tag starting at s[at], quotes honoured.
size_t TagEnd(std::u16string_view s, size_t at) {
  char16_t quote = 0;
  for (size_t i = at; i < s.size(); ++i) {
    if (quote != 0) {
      if (s[i] == quote) quote = 0;
    } else if (s[i] == u'"' || s[i] == u'\'') {
      quote = s[i];
    } else if (s[i] == u'>') {
      return i + 1;
    }
  }
  return std::u16string_view::npos;
}

// The end of "<!DOCTYPE ...>", its internal subset included.
size_t DoctypeEnd(std::u16string_view s, size_t at) {
  int depth = 0;
  char16_t quote = 0;
  for (size_t i = at; i < s.size(); ++i) {
    const char16_t c = s[i];
    if (quote != 0) {
      if (c == quote) quote = 0;
    } else if (c == u'"' || c == u'\'') {
      quote = c;
    } else if (c == u'[') {
      ++depth;
    } else if (c == u']') {
      --depth;
    } else if (c == u'>' && depth <= 0) {
      return i + 1;
    } else if (depth > 0 && StartsWith(s, i, u"<!--")) {
      const size_t close = s.find(u"-->", i + 4);
      if (close == std::u16string_view::npos) return close;
      i = close + 2;
    }
  }
  return std::u16string_view::npos;
}

}  // namespace

std::optional<std::vector<XmlSourceRun>> MapXmlSource(std::u16string_view s) {
  std::vector<XmlSourceRun> runs;
  int depth = 0;
  size_t i = 0;
  while (i < s.size()) {
    if (s[i] != u'<') {
      const size_t next = std::min(s.find(u'<', i), s.size());
      if (depth > 0) {
        auto run = TextRun(s, i, next);
        if (!run) return std::nullopt;
        runs.push_back(std::move(*run));
      }
      i = next;
      continue;
    }
    size_t end;
    if (StartsWith(s, i, u"<!--")) {
      end = s.find(u"-->", i + 4);
      if (end != std::u16string_view::npos) end += 3;
    } else if (StartsWith(s, i, u"<![CDATA[")) {
      const size_t close = s.find(u"]]>", i + 9);
      if (close == std::u16string_view::npos) return std::nullopt;
      runs.push_back(CdataRun(s, i + 9, close));
      end = close + 3;
    } else if (StartsWith(s, i, u"<?")) {
      end = s.find(u"?>", i + 2);
      if (end != std::u16string_view::npos) end += 2;
    } else if (StartsWith(s, i, u"<!")) {
      end = DoctypeEnd(s, i);
    } else {
      end = TagEnd(s, i);
      if (end != std::u16string_view::npos) {
        if (s[i + 1] == u'/') --depth;
        else if (s[end - 2] != u'/') ++depth;
      }
    }
    if (end == std::u16string_view::npos) return std::nullopt;
    i = end;
  }
  return runs;
}

std::u16string EscapeCharacterData(std::u16string_view text) {
  std::u16string out;
  for (const char16_t c : text) {
    switch (c) {
      case u'&': out += u"&amp;"; break;
      case u'<': out += u"&lt;"; break;
      case u'>': out += u"&gt;"; break;
      case u'\r': out += u"&#13;"; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace trawlscope
