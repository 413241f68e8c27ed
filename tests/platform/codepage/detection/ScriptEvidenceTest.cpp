#include "platform/codepage/detection/ScriptEvidence.h"

#include <gtest/gtest.h>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

struct ShortText {
  const char* name;
  const char* utf8;
  const char* converter;
};

// Titles and one-line files that were decoded to other text: kanji without
// kana read as Korean or Chinese, Hangul and hanzi read as each other,
// symbols that were not counted as the script's own.
TEST(ScriptEvidence, ShortEastAsianTextDecodesToItself) {
  const ShortText cases[] = {
      {"kanji title with full-width digits", "空色通信 ２００５年１１月号\n", "EUC-JP"},
      {"kanji in Japanese brackets", "「空色通信」開始の告知\n", "EUC-JP"},
      {"kana with an arrow", "こちら → 放蕩息子\n", "EUC-JP"},
      {"kanji and full-width parentheses", "1927（昭和2）年\n", "EUC-JP"},
      {"four kanji in a title", "<title>[一点突破]</title>\n<link>http://example.jp/</link>\n", "EUC-JP"},
      {"a place name", "\t<title>伏見稲荷</title>\n\t<link>http://example.jp/</link>\n", "EUC-JP"},
      {"hanzi read as EUC-JP with a small yu", "<title>San Wen Ji 散文集</title>\n", "Big5"},
      {"simplified hanzi read as Hangul", "而戴这个道具到底美不美，没\n", "GB2312"},
      {"Hangul between box drawing", "\t<title>┖외계병전문의┑</title>\n", "EUC-KR"},
      {"Hangul between symbols", "\t<title>▒제닉스의 사고뭉치▒</title>\n", "EUC-KR"},
      {"Shift_JIS full-width letters", "<link rel=\"alternate\" title=\"ＢＳ\" href=\"/atom.xml\"/>\n", "Shift_JIS"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = Transcode(c.utf8, c.converter);
    std::u16string decoded;
    ASSERT_TRUE(DecodeToUtf16(bytes, DetectCodePage(bytes), decoded)) << DetectCodePage(bytes);
    EXPECT_EQ(decoded, test::U16(c.utf8)) << DetectCodePage(bytes);
  }
}

// Random bytes of another script that happen to decode: mostly rare characters.
TEST(ScriptEvidence, RareCharactersAreNoEastAsianReading) {
  EXPECT_EQ(PlausibleEastAsianReading(Transcode("<title>ИНФОРМАТОР</title>", "windows-1251")), codepage::kNone);
  EXPECT_EQ(PlausibleEastAsianReading(Transcode("<title>散文集</title>", "Big5")), CodePage(950));
}

}  // namespace
}  // namespace trawlscope
