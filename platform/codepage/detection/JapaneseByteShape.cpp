#include "platform/codepage/detection/JapaneseByteShape.h"

#include "platform/codepage/ByteScan.h"

namespace trawlscope {
namespace {

// Enough double-byte characters to call the share of kana evidence.
constexpr size_t kMinimumDoubleByte = 32;
// Japanese prose has well over a third of its characters in kana; a fifth
// leaves room for kanji-heavy technical text.
constexpr double kMinimumKanaShare = 0.2;

// Past this many double-byte characters, a third of them kana, the sample
// is Japanese in this page beyond doubt: the walk need not go to its end.
constexpr size_t kDecisiveDoubleByte = 512;
constexpr double kDecisiveKanaShare = 1.0 / 3;

struct Shape {
  bool wellFormed = true;
  size_t doubleByte = 0;
  size_t kana = 0;
  bool Decisive() const { return doubleByte >= kDecisiveDoubleByte && kana >= kDecisiveKanaShare * doubleByte; }
};

bool InRange(unsigned char b, unsigned char low, unsigned char high) { return b >= low && b <= high; }

// The offset of the last byte of the ASCII run at `i`: markup and Latin words
// between the Japanese ones are passed over in blocks.
[[gnu::always_inline]] inline size_t EndOfAsciiRun(std::string_view s, size_t i) {
  return i + FindFirstHighByte(s.substr(i)) - 1;
}

Shape ShiftJisShape(std::string_view s) {
  Shape shape;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
      i = EndOfAsciiRun(s, i);
      continue;
    }
    if (InRange(lead, 0xA1, 0xDF)) continue;
    if (!InRange(lead, 0x81, 0x9F) && !InRange(lead, 0xE0, 0xFC)) return {false};
    if (i + 1 == s.size()) break;  // cut off by the sample's end
    const auto trail = static_cast<unsigned char>(s[++i]);
    if (!InRange(trail, 0x40, 0x7E) && !InRange(trail, 0x80, 0xFC)) return {false};
    ++shape.doubleByte;
    if ((lead == 0x82 && InRange(trail, 0x9F, 0xF1)) || (lead == 0x83 && InRange(trail, 0x40, 0x96)))
      ++shape.kana;
    if (shape.doubleByte % kDecisiveDoubleByte == 0 && shape.Decisive()) break;
  }
  return shape;
}

Shape EucJpShape(std::string_view s) {
  Shape shape;
  for (size_t i = 0; i < s.size(); ++i) {
    const auto lead = static_cast<unsigned char>(s[i]);
    if (lead < 0x80) {
      i = EndOfAsciiRun(s, i);
      continue;
    }
    const size_t length = lead == 0x8F ? 3 : 2;
    if (!InRange(lead, 0xA1, 0xFE) && lead != 0x8E && lead != 0x8F) return {false};
    if (i + length > s.size()) break;
    for (size_t k = 1; k < length; ++k)
      if (!InRange(static_cast<unsigned char>(s[i + k]), 0xA1, 0xFE)) return {false};
    i += length - 1;
    ++shape.doubleByte;
    if (lead == 0xA4 || lead == 0xA5) ++shape.kana;
    if (shape.doubleByte % kDecisiveDoubleByte == 0 && shape.Decisive()) break;
  }
  return shape;
}

bool ReadsAsJapanese(const Shape& shape) {
  return shape.wellFormed && shape.doubleByte >= kMinimumDoubleByte &&
         shape.kana >= kMinimumKanaShare * shape.doubleByte;
}

}  // namespace

CodePage ClearlyJapanese(std::string_view sample) {
  // EUC-JP is asked first: Shift_JIS's kana leads 0x82 and 0x83 are no EUC-JP
  // bytes, so a sample that reads as Japanese in EUC-JP has no Shift_JIS kana
  // and never reads as Japanese in Shift_JIS too. Shift_JIS text leaves the
  // EUC-JP walk at its first kana or kanji, while EUC-JP text would go through
  // the whole Shift_JIS walk.
  if (ReadsAsJapanese(EucJpShape(sample))) return codepage::kEucJp;
  if (ReadsAsJapanese(ShiftJisShape(sample))) return codepage::kShiftJis;
  return codepage::kNone;
}

}  // namespace trawlscope
