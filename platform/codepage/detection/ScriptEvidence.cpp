#include "platform/codepage/detection/ScriptEvidence.h"

#include <unicode/ucnv.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/codepage/conversion/ByteTableDecoder.h"
#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CommonCharacters.h"
#include "platform/codepage/conversion/ConverterCache.h"

namespace trawlscope {
namespace {

struct ScriptCounts {
  size_t nonAscii = 0;
  size_t kana = 0;
  size_t han = 0;
  size_t hangul = 0;
  size_t cjkSymbols = 0;  // CJK punctuation, full-width forms, the symbol rows
};

bool IsKana(char16_t c) { return c >= 0x3041 && c <= 0x30FF; }
bool IsHan(char16_t c) {
  return (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0x3400 && c <= 0x4DBF) || (c >= 0xF900 && c <= 0xFAFF);
}
bool IsHangulSyllable(char16_t c) { return c >= 0xAC00 && c <= 0xD7A3; }
// Korean chat and titles write bare consonants and vowels (ㅋㅋ, ㅠㅠ).
bool IsHangulJamo(char16_t c) { return c >= 0x3131 && c <= 0x318E; }

// What the symbol rows of JIS X 0208, GB2312 and KS X 1001 hold besides
// CJK punctuation: arrows, mathematical signs, box drawing, shapes, stars
// and hearts, circled numbers, units. Titles are decorated with them.
bool IsCjkSymbol(char16_t c) {
  return (c >= 0x3000 && c <= 0x303F) || (c >= 0xFF01 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) ||
         (c >= 0x2010 && c <= 0x203F) || (c >= 0x2100 && c <= 0x22FF) || (c >= 0x2460 && c <= 0x27BF) ||
         (c >= 0x3200 && c <= 0x33FF) || (c >= 0x00A1 && c <= 0x00BF) || c == 0x00D7 || c == 0x00F7 ||
         (c >= 0x02C7 && c <= 0x02DD);
}

ScriptCounts Count(std::u16string_view text) {
  ScriptCounts counts;
  for (const char16_t c : text) {
    if (c < 0x80) continue;
    ++counts.nonAscii;
    // Half-width katakana are left out: Shift_JIS reads any byte 0xA1..0xDF of
    // a Latin, Greek or Cyrillic page as one, and real text seldom uses them.
    if (IsKana(c)) ++counts.kana;
    else if (IsHan(c)) ++counts.han;
    else if (IsHangulSyllable(c) || IsHangulJamo(c)) ++counts.hangul;
    else if (IsCjkSymbol(c)) ++counts.cjkSymbols;
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

// How much a reading looks like text of the page's language: common
// characters score, rare ones cost. A small ya, yu or yo follows a kana of
// the i row (kya, shu, cho) and nothing else, so one after a kanji is a
// wrong reading.
bool IsSmallYoon(char16_t c) { return c == u'ゃ' || c == u'ゅ' || c == u'ょ' || c == u'ャ' || c == u'ュ' || c == u'ョ'; }
bool IsIRowKana(char16_t c) {
  return std::u16string_view(u"きぎしじちぢにひびぴみりキギシジチヂニヒビピミリ").find(c) != std::u16string_view::npos;
}

double ReadingScore(std::u16string_view text, CodePage page) {
  const CodePageFamily family = FamilyOf(page);
  const HanLanguage language = family == CodePageFamily::Japanese ? HanLanguage::Japanese
                               : page == 936                      ? HanLanguage::SimplifiedChinese
                                                                  : HanLanguage::TraditionalChinese;
  constexpr double kRare = -1;
  double score = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    const char16_t c = text[i];
    if (c < 0x80) continue;
    if (IsKana(c)) {
      if (family != CodePageFamily::Japanese) continue;
      score += IsSmallYoon(c) && !(i > 0 && IsIRowKana(text[i - 1])) ? -2 : 1;
    } else if (IsHan(c)) {
      score += IsCommonHan(c, language) ? 1 : kRare;
    } else if (IsHangulSyllable(c)) {
      score += IsCommonHangul(c) ? 1 : kRare;
    } else if (!IsHangulJamo(c) && !IsCjkSymbol(c)) {
      score -= 1;
    }
  }
  return score;
}

constexpr double kMostly = 0.9;
constexpr double kSomeKana = 0.1;
constexpr double kWithoutKana = 0.5;
constexpr double kRareShare = 0.3;

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
  // EUC-JP, EUC-KR and GB2312 share their byte structure, so a title of a
  // few kanji passes the script tests of all three: every page is read, and
  // among those that pass, the characters they turn into decide.
  CodePage best = codepage::kNone;
  double bestScore = 0;
  std::u16string_view text;
  for (const CodePage page : {CodePage(932), CodePage(51932), codepage::kEucKr, CodePage(936), CodePage(950)}) {
    if (!DecodeStrictly(sample, page, text)) continue;
    const ScriptCounts c = Count(text);
    if (c.nonAscii < 2) continue;
    double score = ReadingScore(text, page);
    // Mostly rare characters: another script's bytes read as this one.
    if (score < -kRareShare * double(c.kana + c.han + c.hangul)) continue;
    switch (FamilyOf(page)) {
      case CodePageFamily::Japanese:
        if (c.kana + c.han + c.cjkSymbols < kMostly * c.nonAscii) continue;
        // Japanese writes its grammar in kana: kanji alone make a title at
        // most, and they must read better than as Korean or Chinese.
        if (c.kana < kSomeKana * c.nonAscii) {
          if (score < 0) continue;
          score -= kWithoutKana;
        }
        break;
      case CodePageFamily::Korean:
        if (c.hangul + c.cjkSymbols < kMostly * c.nonAscii || c.hangul == 0) continue;
        break;
      default:
        if (c.han + c.cjkSymbols < kMostly * c.nonAscii || c.han == 0 ||
            CommonChineseShare(sample, page) < kMostly || PairsSitInLatinWords(sample))
          continue;
        break;
    }
    if (best == codepage::kNone || score > bestScore) best = page, bestScore = score;
  }
  return best;
}

}  // namespace trawlscope
