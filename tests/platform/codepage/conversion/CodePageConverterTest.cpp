#include "platform/codepage/conversion/CodePageConverter.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;
using test::U16;

struct RoundTrip {
  CodePage codePage;
  const char* icuName;
  const char* sentence;
};

TEST(CodePageConverter, RealSentencesDecodeAndEncodeBackToTheSameBytes) {
  const RoundTrip cases[] = {
      {932, "windows-31j", test::kJapaneseSentence},   {51932, "EUC-JP", test::kJapaneseSentence},
      {50220, "ISO-2022-JP", test::kJapaneseSentence}, {65001, "UTF-8", test::kJapaneseSentence},
      {1200, "UTF-16LE", test::kJapaneseSentence},     {1201, "UTF-16BE", test::kJapaneseSentence},
      {12000, "UTF-32LE", test::kJapaneseSentence},    {54936, "GB18030", test::kChineseSentence},
      {936, "GBK", test::kChineseSentence},            {20866, "KOI8-R", test::kRussianSentence},
      {1251, "windows-1251", test::kRussianSentence},  {1252, "windows-1252", test::kFrenchSentence},
      {28605, "ISO-8859-15", test::kFrenchSentence},
  };
  for (const RoundTrip& c : cases) {
    SCOPED_TRACE(c.codePage);
    const std::string bytes = Transcode(c.sentence, c.icuName);
    std::u16string text;
    ASSERT_TRUE(DecodeToUtf16(bytes, c.codePage, text));
    EXPECT_EQ(text, U16(c.sentence));
    std::string encoded;
    ASSERT_TRUE(EncodeFromUtf16(text, c.codePage, encoded));
    EXPECT_EQ(encoded, bytes);
    EXPECT_EQ(ConvertCodePage(bytes, c.codePage, 65001), c.sentence);
  }
}

TEST(CodePageConverter, EveryNamedConverterOfTheTableExists) {
  for (CodePage codePage = 1; codePage < 70000; ++codePage) {
    const char* name = IcuConverterName(codePage);
    if (name == nullptr) continue;
    UErrorCode status = U_ZERO_ERROR;
    UConverter* converter = ucnv_open(name, &status);
    EXPECT_TRUE(U_SUCCESS(status)) << codePage << " " << name;
    ucnv_close(converter);
  }
}

TEST(CodePageConverter, UnknownCodePageGivesNothing) {
  std::u16string text = u"stale";
  EXPECT_FALSE(DecodeToUtf16("abc", 0, text));
  EXPECT_TRUE(text.empty());
  EXPECT_FALSE(DecodeToUtf16("abc", 10001, text));  // Mac Japanese: ICU has none
  EXPECT_EQ(ConvertCodePage("abc", 0, 1200), "");
  EXPECT_EQ(ConvertCodePage("abc", 932, 932), "abc");
}

TEST(CodePageConverter, CharacterThePageCannotHoldFailsInsteadOfBecomingAQuestionMark) {
  std::string bytes;
  EXPECT_FALSE(EncodeFromUtf16(u"日本", 1252, bytes));
  EXPECT_FALSE(EncodeFromUtf16(u"😀", 932, bytes));
  EXPECT_TRUE(bytes.empty());
}

TEST(CodePageConverter, Utf16LittleEndianIgnoresALastOddByte) {
  std::u16string text;
  ASSERT_TRUE(DecodeToUtf16(std::string("a\0b\0c", 5), 1200, text));
  EXPECT_EQ(text, u"ab");
}

TEST(CodePageConverter, InvalidBytesBecomeReplacementCharacters) {
  std::u16string text;
  ASSERT_TRUE(DecodeToUtf16("a\xFF" "b", 65001, text));
  EXPECT_EQ(text, u"a\xFFFD" "b");
}

TEST(CodePageConverter, AsciiTransparencyMatchesWhatTheConverterDoes) {
  EXPECT_TRUE(IsAsciiTransparent(65001));
  EXPECT_TRUE(IsAsciiTransparent(51932));
  // ICU's CP932 swaps the controls 0x1A, 0x1C and 0x7F as IBM's pages do.
  EXPECT_FALSE(IsAsciiTransparent(932));
  EXPECT_TRUE(IsAsciiTransparent(1252));
  EXPECT_FALSE(IsAsciiTransparent(50220));  // escape sequences switch its state
  EXPECT_FALSE(IsAsciiTransparent(52936));  // "~{" switches HZ to GB2312
  EXPECT_FALSE(IsAsciiTransparent(20424));  // EBCDIC
  EXPECT_FALSE(IsAsciiTransparent(1200));
  std::u16string text;
  ASSERT_TRUE(DecodeToUtf16("~{<:Ky2;S{#,NpJ)l6HK!#~}", 52936, text));
  EXPECT_EQ(text, u"己所不欲，勿施於人。");
}

}  // namespace
}  // namespace trawlscope
