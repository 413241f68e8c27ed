#include "platform/codepage/detection/SingleByteReading.h"

#include <gtest/gtest.h>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/CodePageDetector.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

struct RoundTrip {
  const char* name;
  std::string utf8;
  const char* converter;
};

// Each of these was decoded to other text before the readings were weighed.
TEST(SingleByteReading, LatinTextDecodesToItself) {
  const RoundTrip cases[] = {
      // Two accented letters side by side made a Shift_JIS pair.
      {"German line, ISO-8859-1", "Die Daten sind nicht darstellbar gemäß ISO/\n", "ISO-8859-1"},
      // ż before a letter made a Big5 character with it.
      {"Polish line, ISO-8859-2", "Naukowcy zauważyli, że zmiana rytmu snu szkodzi.\n", "ISO-8859-2"},
      // The sample read alike in ISO-8859-2; the quotes after it are windows-1250's.
      {"Hungarian, quotes past the sample",
       Repeat("A magyar nyelv az uráli nyelvcsalád tagja, a finnugor nyelvek közé tartozik. ", 140) +
           "„Idézet” – vége.\n",
       "windows-1250"},
      {"German, quotes past the sample",
       Repeat("Die Übersetzung dieser Handbuchseite wurde mit großer Sorgfalt erstellt. ", 150) +
           "„Zitat“ – Ende.\n",
       "windows-1252"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string bytes = Transcode(c.utf8, c.converter);
    std::u16string decoded;
    ASSERT_TRUE(DecodeToUtf16(bytes, DetectCodePage(bytes), decoded)) << DetectCodePage(bytes);
    EXPECT_EQ(decoded, test::U16(c.utf8)) << DetectCodePage(bytes);
  }
}

// KOI8-R and windows-1251 hold the same letters with their cases swapped,
// and ISO-8859-7 reads KOI8-R's small letters as Greek capitals.
TEST(SingleByteReading, RussianReadsBestInItsOwnPage) {
  const std::string koi8 = Transcode("Погода в Москве: сегодня тепло и солнечно.", "KOI8-R");
  EXPECT_GT(SingleByteReadingScore(koi8, 20866), SingleByteReadingScore(koi8, 1251));
  EXPECT_GT(SingleByteReadingScore(koi8, 20866), SingleByteReadingScore(koi8, 28597));
  EXPECT_EQ(BestSingleByteReading(koi8, 28597), 20866u);
  EXPECT_EQ(SingleByteReadingScore(Transcode("Погода", "IBM866"), 28591), kUnreadable);  // C1 bytes
}

// Small Cyrillic letters read as Greek ones make common letters too, but
// Greek words end in a vowel, ς or ν.
TEST(SingleByteReading, CyrillicWordsEndingInGreekConsonantsAreCyrillic) {
  const std::string title = Transcode("<title>пулюм-пулюм</title>\n", "windows-1251");
  EXPECT_GT(SingleByteReadingScore(title, 1251), SingleByteReadingScore(title, 1253));
  std::u16string decoded;
  ASSERT_TRUE(DecodeToUtf16(title, DetectCodePage(title), decoded));
  EXPECT_EQ(decoded, u"<title>пулюм-пулюм</title>\n");
  // An elided vowel's apostrophe ends a Greek word as well as a vowel does.
  EXPECT_EQ(SingleByteReadingScore(Transcode("απ’ το σπίτι", "ISO-8859-7"), 28597),
            SingleByteReadingScore(Transcode("από το σπίτι", "ISO-8859-7"), 28597) - 1);
}

}  // namespace
}  // namespace trawlscope

namespace trawlscope {
namespace {

TEST(SingleByteReadingsAgree, ByteValuesDecideAndLeadOrUndefinedBytesFallBackToTheWholeReading) {
  struct Case {
    const char* what;
    std::string sample;
    CodePage a, b;
    bool agree;
  };
  const Case cases[] = {
      {"Lithuanian in both Baltic pages", "\xE0\xE8i\xFB", 28603, 1257, true},
      {"a letter both Latin-2 pages share", "caf\xE9", 28592, 1250, true},
      {"a late letter where they differ", "caf\xE9 " + std::string(200, 'x') + " \xB1", 28592, 1250, false},
      {"a C1 control against the euro sign", "\x80 5", 28592, 1250, false},
      {"Greek alpha in both Greek pages", "\xE1\xE1", 28597, 1253, true},
      {"a byte windows-1253 leaves undefined", "\xE1\xAA", 28597, 1253, false},
      {"no high byte at all", "plain text", 28592, 1250, true},
      {"Shift_JIS pairs read by the same page", "\x82\xA0\x82\xA2", 932, 932, true},
      {"Shift_JIS pairs against a single-byte page", "\x82\xA0\x82\xA2", 932, 1252, false},
  };
  for (const Case& c : cases) EXPECT_EQ(SingleByteReadingsAgree(c.sample, c.a, c.b), c.agree) << c.what;
}

}  // namespace
}  // namespace trawlscope
