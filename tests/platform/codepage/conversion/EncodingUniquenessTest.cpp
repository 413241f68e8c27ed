#include "platform/codepage/conversion/EncodingUniqueness.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <set>
#include <string>

#include "platform/codepage/conversion/CodePageConverter.h"

namespace trawlscope {
namespace {

// The characters with several byte forms worked out the slow way, one ICU
// call per sequence: each one- and two-byte sequence (and EUC-JP's
// three-byte row) that decodes alone to one unit, encoded back.
std::set<char16_t> SeveralFormsOneByOne(CodePage codePage) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(IcuConverterName(codePage), &status);
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  std::set<char16_t> several;
  std::string encoded;
  const auto check = [&](const std::string& bytes) {
    UChar out[4];
    UErrorCode error = U_ZERO_ERROR;
    ucnv_reset(converter);
    const int32_t length = ucnv_toUChars(converter, out, 4, bytes.data(), static_cast<int32_t>(bytes.size()), &error);
    if (U_FAILURE(error) || length != 1) return;
    const char16_t character = out[0];
    if (!EncodeFromUtf16(std::u16string_view(&character, 1), codePage, encoded) || encoded != bytes)
      several.insert(character);
  };
  for (int lead = 0; lead < 0x100; ++lead) {
    check(std::string(1, char(lead)));
    if (ucnv_getMaxCharSize(converter) < 2) continue;
    for (int trail = 0; trail < 0x100; ++trail) check({char(lead), char(trail)});
  }
  if (codePage == codepage::kEucJp)
    for (int second = 0xA1; second < 0xFF; ++second)
      for (int third = 0xA1; third < 0xFF; ++third) check({'\x8F', char(second), char(third)});
  ucnv_close(converter);
  return several;
}

// Worked out from the decoding table and one call to encode back, the
// answers for every character are those of the slow way.
TEST(EncodingUniqueness, EveryCharacterIsJudgedAsOneSequenceAtATimeWouldJudgeIt) {
  for (const CodePage page : {CodePage(932), CodePage(51932), CodePage(936), CodePage(54936), CodePage(950),
                              CodePage(949), CodePage(1252), CodePage(1251), CodePage(20866), CodePage(437),
                              CodePage(28591)}) {
    ASSERT_NE(IcuConverterName(page), nullptr) << page;
    const std::set<char16_t> several = SeveralFormsOneByOne(page);
    size_t unique = 0;
    std::string encoded;
    for (unsigned c = 1; c < 0x10000; ++c) {
      const char16_t character = static_cast<char16_t>(c);
      if (c >= 0xD800 && c <= 0xDFFF) continue;
      const bool expected = character != u'\xFFFD' &&
                            EncodeFromUtf16(std::u16string_view(&character, 1), page, encoded) &&
                            several.count(character) == 0;
      ASSERT_EQ(HasUniqueByteForms(std::u16string_view(&character, 1), page), expected) << page << " " << c;
      unique += expected;
    }
    EXPECT_GT(unique, 100u) << page;
  }
}

}  // namespace
}  // namespace trawlscope
