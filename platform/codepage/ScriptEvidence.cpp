#include "platform/codepage/ScriptEvidence.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/codepage/ByteTableDecoder.h"
#include "platform/codepage/CodePageConverter.h"
#include "platform/codepage/ConverterCache.h"

namespace trawlscope {
namespace {

struct ScriptCounts {
  size_t nonAscii = 0;
  size_t kana = 0;
  size_t han = 0;
  size_t hangul = 0;
  size_t cjkSymbols = 0;  // CJK punctuation, full-width forms
};

ScriptCounts Count(std::u16string_view text) {
  ScriptCounts counts;
  for (const char16_t c : text) {
    if (c < 0x80) continue;
    ++counts.nonAscii;
    // Half-width katakana are left out: Shift_JIS reads any byte 0xA1..0xDF of
    // a Latin, Greek or Cyrillic page as one, and real text seldom uses them.
    if (c >= 0x3041 && c <= 0x30FF) ++counts.kana;
    else if ((c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF)) ++counts.han;
    else if (c >= 0xAC00 && c <= 0xD7A3) ++counts.hangul;
    else if ((c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF60) || (c >= 0x2010 && c <= 0x203F) ||
             (c >= 0x25A0 && c <= 0x25FF))
      ++counts.cjkSymbols;
  }
  return counts;
}

// Share of double-byte pairs that fall in the range of a Chinese code page
// holding its common characters and punctuation: GB2312's level-1 hanzi and
// symbol rows, Big5's frequent hanzi and symbols. Random bytes that happen to
// decode fall mostly outside.
double CommonChineseShare(std::string_view sample, CodePage codePage) {
  size_t pairs = 0, common = 0;
  for (size_t i = 0; i + 1 < sample.size(); ++i) {
    const auto lead = static_cast<unsigned char>(sample[i]);
    if (lead < 0x81) continue;
    const auto trail = static_cast<unsigned char>(sample[i + 1]);
    ++pairs;
    if (codePage == 950)
      common += (lead >= 0xA1 && lead <= 0xC6);
    else
      common += ((lead >= 0xB0 && lead <= 0xD7) || (lead >= 0xA1 && lead <= 0xA3)) && trail >= 0xA1;
    ++i;
  }
  return pairs ? double(common) / pairs : 0.0;
}

bool IsAsciiLetter(unsigned char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// Big5 and GBK take ASCII letters as second bytes, so an accented letter
// inside a Latin word ("zauwa\xBFyli") pairs with the letter after it. Half
// the pairs glued to Latin letters on both sides is a Latin text's reading.
bool PairsSitInLatinWords(std::string_view sample) {
  size_t pairs = 0, inWords = 0;
  bool afterLetter = false;  // a letter of its own, not a pair's second byte
  for (size_t i = 0; i + 1 < sample.size(); ++i) {
    const auto byte = static_cast<unsigned char>(sample[i]);
    if (byte < 0x81) {
      afterLetter = IsAsciiLetter(byte);
      continue;
    }
    ++pairs;
    inWords += afterLetter && IsAsciiLetter(sample[i + 1]);
    afterLetter = false;
    ++i;
  }
  return pairs > 0 && 2 * inWords >= pairs;
}

// `text` is valid until the next call on this thread.
bool DecodeStrictly(std::string_view sample, CodePage codePage, std::u16string_view& text) {
  thread_local std::vector<UChar> room;
  text = {};
  UConverter* converter = CachedConverter(codePage, InvalidBytes::Stop);
  if (converter == nullptr) return false;
  if (room.size() < sample.size() + 16) room.resize(sample.size() + 16);
  const HeldPrefix held = DecodeHeldPrefix(sample, codePage, reinterpret_cast<char16_t*>(room.data()));
  UChar* target = room.data() + held.units;
  const char* source = sample.data() + held.bytes;
  UErrorCode status = U_ZERO_ERROR;
  // No flush: a character cut off by the sample's end is left pending, not an error.
  ucnv_toUnicode(converter, &target, room.data() + room.size(), &source, sample.data() + sample.size(), nullptr, false,
                 &status);
  text = {reinterpret_cast<const char16_t*>(room.data()), static_cast<size_t>(target - room.data())};
  return U_SUCCESS(status);
}

constexpr double kMostly = 0.9;
constexpr double kSomeKana = 0.1;

}  // namespace

bool DecodesCleanly(std::string_view sample, CodePage codePage) {
  std::u16string_view text;
  return DecodeStrictly(sample, codePage, text);
}

bool ReadsAsItsScript(std::string_view sample, CodePage codePage) {
  std::u16string_view text;
  if (!DecodeStrictly(sample, codePage, text)) return false;
  const ScriptCounts c = Count(text);
  switch (FamilyOf(codePage)) {
    case CodePageFamily::Japanese: return c.kana + c.han + c.cjkSymbols >= kMostly * c.nonAscii;
    case CodePageFamily::Chinese: return c.han + c.cjkSymbols >= kMostly * c.nonAscii;
    case CodePageFamily::Korean: return c.hangul + c.han + c.cjkSymbols >= kMostly * c.nonAscii;
    default: return true;
  }
}

bool ReadsAsText(std::string_view sample, CodePage codePage) {
  std::u16string_view text;
  if (!DecodeStrictly(sample, codePage, text)) return false;
  return std::none_of(text.begin(), text.end(), [](char16_t c) {
    return (c >= 0x80 && c <= 0x9F) || (c >= 0xFF61 && c <= 0xFF9F);
  });
}

CodePage PlausibleEastAsianReading(std::string_view sample) {
  std::u16string_view text;
  for (const CodePage japanese : {CodePage(932), CodePage(51932)}) {
    if (!DecodeStrictly(sample, japanese, text)) continue;
    const ScriptCounts c = Count(text);
    if (c.nonAscii >= 2 && c.kana + c.han + c.cjkSymbols >= kMostly * c.nonAscii &&
        c.kana >= kSomeKana * c.nonAscii)
      return japanese;
  }
  if (DecodeStrictly(sample, codepage::kEucKr, text)) {
    const ScriptCounts c = Count(text);
    if (c.nonAscii >= 2 && c.hangul + c.cjkSymbols >= kMostly * c.nonAscii && c.hangul > 0)
      return codepage::kEucKr;
  }
  for (const CodePage chinese : {CodePage(936), CodePage(950)}) {
    if (!DecodeStrictly(sample, chinese, text)) continue;
    const ScriptCounts c = Count(text);
    if (c.nonAscii >= 2 && c.han + c.cjkSymbols >= kMostly * c.nonAscii && c.han > 0 &&
        CommonChineseShare(sample, chinese) >= kMostly && !PairsSitInLatinWords(sample))
      return chinese;
  }
  return codepage::kNone;
}

}  // namespace trawlscope
