#include "platform/codepage/conversion/ByteTableDecoder.h"

#include <gtest/gtest.h>
#include <unicode/ucnv.h>

#include <random>
#include <string>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/ScriptEvidence.h"

namespace trawlscope {
namespace {

// ICU's own decoding, with a converter of the test's own.
std::u16string IcuDecode(std::string_view bytes, CodePage codePage) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(IcuConverterName(codePage), &status);
  EXPECT_TRUE(U_SUCCESS(status));
  std::u16string text(bytes.size() * 2 + 16, u'\0');
  const char* from = bytes.data();
  UChar* to = reinterpret_cast<UChar*>(text.data());
  ucnv_toUnicode(converter, &to, to + text.size(), &from, bytes.data() + bytes.size(), nullptr, true, &status);
  text.resize(static_cast<size_t>(to - reinterpret_cast<UChar*>(text.data())));
  ucnv_close(converter);
  return text;
}

// ICU's strict reading: no substitutes, a character cut off at the end allowed.
bool IcuDecodesCleanly(std::string_view bytes, CodePage codePage) {
  UErrorCode status = U_ZERO_ERROR;
  UConverter* converter = ucnv_open(IcuConverterName(codePage), &status);
  ucnv_setToUCallBack(converter, UCNV_TO_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  std::u16string text(bytes.size() * 2 + 16, u'\0');
  const char* from = bytes.data();
  UChar* to = reinterpret_cast<UChar*>(text.data());
  ucnv_toUnicode(converter, &to, to + text.size(), &from, bytes.data() + bytes.size(), nullptr, false, &status);
  ucnv_close(converter);
  return U_SUCCESS(status);
}

const CodePage kPages[] = {932, 51932, 936, 54936, 950, 949, 1252, 1250, 1251, 20866, 28592, 28597};

// Every byte and every two-byte sequence from a high byte on, between ASCII
// letters: decoding gives exactly ICU's text, through the table or not.
TEST(ByteTableDecoder, EveryOneAndTwoByteSequenceDecodesAsIcuDecodesIt) {
  for (const CodePage page : kPages) {
    std::string bytes;
    for (unsigned lead = 0; lead < 0x100; ++lead) {
      for (unsigned trail = lead < 0x80 ? 0x41 : 0; trail < (lead < 0x80 ? 0x42u : 0x100u); ++trail) {
        bytes = std::string("a") + char(lead) + char(trail) + "z";
        std::u16string text;
        ASSERT_TRUE(DecodeToUtf16(bytes, page, text));
        ASSERT_EQ(text, IcuDecode(bytes, page)) << "page " << page << ", bytes " << lead << " " << trail;
      }
    }
  }
}

// Runs of real characters with an odd byte here and there, cut anywhere:
// decoding, and the strict reading, give what ICU gives.
TEST(ByteTableDecoder, MixedTextDecodesAsIcuDecodesIt) {
  std::mt19937 random(11);
  for (const CodePage page : kPages) {
    // Whichever of these characters the page holds.
    std::string characters, one;
    for (const char16_t c : std::u16string_view(u"関数の説明 Größe Ελληνικά русский 한국어 中文字符 ｶﾀｶﾅ"))
      if (EncodeFromUtf16(std::u16string_view(&c, 1), page, one)) characters += one;
    ASSERT_GT(characters.size(), 10u) << page;
    for (int round = 0; round < 300; ++round) {
      std::string bytes;
      const unsigned pieces = random() % 30;
      for (unsigned i = 0; i < pieces; ++i) {
        if (random() % 20 == 0) bytes += static_cast<char>(random() % 0x100);
        else if (random() % 5 == 0) bytes += std::string(random() % 40, static_cast<char>('a' + round % 26));
        else bytes += characters.substr(random() % characters.size(), random() % 12);
      }
      std::u16string text;
      ASSERT_TRUE(DecodeToUtf16(bytes, page, text));
      ASSERT_EQ(text, IcuDecode(bytes, page)) << "page " << page << ", round " << round;
      // The detector's strict reading goes through the table as far as it holds.
      ASSERT_EQ(DecodesCleanly(bytes, page), IcuDecodesCleanly(bytes, page)) << "page " << page << ", round " << round;
    }
  }
}

// The table serves the double-byte pages' real text, and leaves what it does
// not hold (EUC-JP's three-byte characters, broken sequences) to ICU.
TEST(ByteTableDecoder, ServesRealTextAndLeavesTheRestToIcu) {
  std::u16string text;
  std::string sjis, eucjp;
  ASSERT_TRUE(EncodeFromUtf16(u"関数の説明ｶﾅ", 932, sjis));
  ASSERT_TRUE(EncodeFromUtf16(u"関数の説明ｶﾅ", 51932, eucjp));
  EXPECT_TRUE(DecodeThroughByteTable(sjis, 932, text));
  EXPECT_EQ(text, u"関数の説明ｶﾅ");
  EXPECT_TRUE(DecodeThroughByteTable(eucjp, 51932, text));
  EXPECT_EQ(text, u"関数の説明ｶﾅ");
  EXPECT_FALSE(DecodeThroughByteTable("\x8F\xB0\xA1", 51932, text));  // JIS X 0212
  EXPECT_FALSE(DecodeThroughByteTable(sjis.substr(0, 3), 932, text));  // cut inside a character
  EXPECT_FALSE(DecodeThroughByteTable("ab", 65001, text));              // UTF-8 has its own path
  EXPECT_FALSE(DecodeThroughByteTable("ab", 50220, text));              // ISO-2022-JP keeps state
}

}  // namespace
}  // namespace trawlscope
