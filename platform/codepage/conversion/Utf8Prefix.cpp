#include "platform/codepage/conversion/Utf8Prefix.h"

#include "platform/codepage/AsciiWidening.h"

namespace trawlscope {
namespace {

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

HeldPrefix DecodeUtf8Prefix(std::string_view bytes, char16_t* out) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t size = bytes.size();
  char16_t* const start = out;
  size_t i = 0;
  while (i < size) {
    const unsigned b0 = data[i];
    if (b0 < 0x80) {
      i = WidenAsciiRun(data, i, size, out);
      continue;
    }
    if (b0 < 0xC2) break;  // a continuation byte, or an overlong two-byte form
    if (b0 < 0xE0) {
      if (i + 1 >= size || !IsContinuation(data[i + 1])) break;
      *out++ = static_cast<char16_t>((b0 & 0x1F) << 6 | (data[i + 1] & 0x3F));
      i += 2;
      continue;
    }
    if (b0 < 0xF0) {
      if (i + 2 >= size) break;
      const unsigned b1 = data[i + 1];
      // E0 must not be overlong, ED must not encode a surrogate.
      const unsigned low = b0 == 0xE0 ? 0xA0 : 0x80;
      const unsigned high = b0 == 0xED ? 0x9F : 0xBF;
      if (b1 < low || b1 > high || !IsContinuation(data[i + 2])) break;
      *out++ = static_cast<char16_t>((b0 & 0x0F) << 12 | (b1 & 0x3F) << 6 | (data[i + 2] & 0x3F));
      i += 3;
      continue;
    }
    if (b0 < 0xF5) {
      if (i + 3 >= size) break;
      const unsigned b1 = data[i + 1];
      // F0 must not be overlong, F4 must stay within U+10FFFF.
      const unsigned low = b0 == 0xF0 ? 0x90 : 0x80;
      const unsigned high = b0 == 0xF4 ? 0x8F : 0xBF;
      if (b1 < low || b1 > high || !IsContinuation(data[i + 2]) || !IsContinuation(data[i + 3])) break;
      const unsigned c = (b0 & 0x07) << 18 | (b1 & 0x3F) << 12 | (data[i + 2] & 0x3F) << 6 | (data[i + 3] & 0x3F);
      *out++ = static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      *out++ = static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
      i += 4;
      continue;
    }
    break;
  }
  return {i, static_cast<size_t>(out - start)};
}

}  // namespace trawlscope
