#include "platform/files/NativePath.h"

#include <unicode/utf16.h>

#include <algorithm>
#include <vector>

namespace trawlscope {
namespace {

constexpr char16_t kEscapeBase = 0xDC00;
constexpr char16_t kEscapedBackslash = kEscapeBase + u'\\';
constexpr char32_t kReplacement = 0xFFFD;

bool IsEscapedByte(char16_t u) {
  return u == kEscapedBackslash || (u >= kEscapeBase + 0x80 && u <= kEscapeBase + 0xFF);
}

void AppendUtf8(std::string& out, char32_t c) {
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

void AppendUtf16(std::u16string& out, char32_t c) {
  if (c < 0x10000) {
    out += static_cast<char16_t>(c);
  } else {
    c -= 0x10000;
    out += static_cast<char16_t>(0xD800 | (c >> 10));
    out += static_cast<char16_t>(0xDC00 | (c & 0x3FF));
  }
}

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not one.
size_t ValidSequenceLength(std::string_view s, size_t i, char32_t& codePoint) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
  const unsigned char lead = byte(i);
  size_t length;
  char32_t c;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2, c = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3, c = lead & 0x0F;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4, c = lead & 0x07;
  } else {
    return 0;
  }
  if (i + length > s.size()) return 0;
  for (size_t k = 1; k < length; ++k) {
    if ((byte(i + k) & 0xC0) != 0x80) return 0;
    c = (c << 6) | (byte(i + k) & 0x3F);
  }
  const bool overlong = (length == 3 && c < 0x800) || (length == 4 && c < 0x10000);
  const bool surrogate = c >= 0xD800 && c <= 0xDFFF;
  if (overlong || surrogate || c > 0x10FFFF) return 0;
  codePoint = c;
  return length;
}

std::string Encode(std::u16string_view text, bool backslashIsSeparator) {
  // Paths are mostly ASCII: that part is written in one go.
  size_t ascii = 0;
  while (ascii < text.size() && text[ascii] < 0x80) ++ascii;
  std::string out(ascii, '\0');
  for (size_t i = 0; i < ascii; ++i)
    out[i] = (backslashIsSeparator && text[i] == u'\\') ? '/' : static_cast<char>(text[i]);
  for (size_t i = ascii; i < text.size(); ++i) {
    const char16_t u = text[i];
    if (u < 0x80) {
      out += (backslashIsSeparator && u == u'\\') ? '/' : static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
               text[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(u) - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (IsEscapedByte(u)) {
      out += static_cast<char>(u - kEscapeBase);
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendUtf8(out, kReplacement);
    } else {
      AppendUtf8(out, u);
    }
  }
  return out;
}

void AppendDecoded(std::u16string& out, std::string_view nativePath, bool escapeBackslash) {
  // Names are mostly ASCII: that part is widened in one go.
  size_t ascii = 0;
  while (ascii < nativePath.size() && static_cast<unsigned char>(nativePath[ascii]) < 0x80 &&
         !(escapeBackslash && nativePath[ascii] == '\\'))
    ++ascii;
  const size_t start = out.size();
  out.resize(start + ascii);
  for (size_t i = 0; i < ascii; ++i) out[start + i] = static_cast<char16_t>(nativePath[i]);
  for (size_t i = ascii; i < nativePath.size();) {
    const unsigned char b = static_cast<unsigned char>(nativePath[i]);
    if (b < 0x80) {
      out += (escapeBackslash && b == '\\') ? kEscapedBackslash : static_cast<char16_t>(b);
      ++i;
      continue;
    }
    char32_t c = 0;
    if (const size_t length = ValidSequenceLength(nativePath, i, c)) {
      AppendUtf16(out, c);
      i += length;
    } else {
      out += static_cast<char16_t>(kEscapeBase + b);
      ++i;
    }
  }
}

std::u16string Decode(std::string_view nativePath, bool escapeBackslash) {
  std::u16string out;
  out.reserve(nativePath.size());
  AppendDecoded(out, nativePath, escapeBackslash);
  return out;
}

bool IsLineByte(unsigned char b) { return b == '\t' || b == '\n' || b == '\r'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Whether "x" and two hex digits stand at `i`: a "\" before them reads as an escape.
bool EscapeTailAt(std::string_view text, size_t i) {
  return i + 2 < text.size() && text[i] == 'x' && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0;
}

// How many bytes from `i` a name shows as they are: an ASCII byte that keeps
// the line whole, or a valid UTF-8 sequence; 0 for a byte to be escaped.
size_t PlainLength(std::string_view name, size_t i) {
  const auto b = static_cast<unsigned char>(name[i]);
  if (b < 0x80) return IsLineByte(b) ? 0 : 1;
  char32_t c = 0;
  return ValidSequenceLength(name, i, c);
}

}  // namespace

std::string EscapedName(std::string_view name) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(name.size());
  for (size_t i = 0; i < name.size();) {
    if (name[i] == '\\') {
      size_t end = i;
      while (end < name.size() && name[end] == '\\') ++end;
      const bool doubled = end < name.size() && (PlainLength(name, end) == 0 || EscapeTailAt(name, end));
      out.append((end - i) * (doubled ? 2 : 1), '\\');
      i = end;
    } else if (const size_t plain = PlainLength(name, i)) {
      out.append(name.substr(i, plain));
      i += plain;
    } else {
      const auto b = static_cast<unsigned char>(name[i++]);
      out += "\\x";
      out += kHex[b >> 4];
      out += kHex[b & 15];
    }
  }
  return out;
}

std::optional<std::string> UnescapedName(std::string_view text, size_t& badAt) {
  std::string name;
  name.reserve(text.size());
  struct Escape {
    size_t inName, inText;
  };
  std::vector<Escape> escapes;
  for (size_t i = 0; i < text.size();) {
    if (text[i] != '\\') {
      name += text[i++];
      continue;
    }
    size_t end = i;
    while (end < text.size() && text[end] == '\\') ++end;
    const size_t run = end - i;
    i = end;
    if (!EscapeTailAt(text, end)) {
      name.append(run, '\\');
      continue;
    }
    // Each pair is one "\" of the name; an odd one left over starts the escape.
    name.append(run / 2, '\\');
    if (run % 2 == 1) {
      escapes.push_back({name.size(), end - 1});
      name += static_cast<char>(HexValue(text[end + 1]) * 16 + HexValue(text[end + 2]));
      i = end + 3;
    }
  }
  size_t next = 0;  // the first escape not yet checked
  for (size_t i = 0; i < name.size() && next < escapes.size();) {
    const size_t plain = PlainLength(name, i);
    const size_t stop = i + std::max<size_t>(plain, 1);
    for (; next < escapes.size() && escapes[next].inName < stop; ++next) {
      if (plain != 0) {
        badAt = escapes[next].inText;
        return std::nullopt;
      }
    }
    i = stop;
  }
  return name;
}

std::string NativeFolderOf(const std::string& nativePath) {
  const auto slash = nativePath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : nativePath.substr(0, slash);
}

std::string ToNativePath(std::u16string_view path) { return Encode(path, true); }

std::string ToNativeBytes(std::u16string_view text) { return Encode(text, false); }

std::u16string FromNativePath(std::string_view nativePath) { return Decode(nativePath, false); }

std::u16string FromNativeName(std::string_view nativeName) { return Decode(nativeName, true); }

void AppendNativeName(std::u16string& path, std::string_view nativeName) { AppendDecoded(path, nativeName, true); }

std::u16string DisplayPath(std::u16string_view path) {
  std::u16string shown(path);
  for (size_t i = 0; i < shown.size(); ++i) {
    const char16_t u = shown[i];
    if (u == kEscapedBackslash) {
      shown[i] = u'\\';
    } else if (U16_IS_LEAD(u) && i + 1 < shown.size() && U16_IS_TRAIL(shown[i + 1])) {
      ++i;
    } else if (U16_IS_SURROGATE(u)) {
      shown[i] = static_cast<char16_t>(kReplacement);
    }
  }
  return shown;
}

}  // namespace trawlscope
