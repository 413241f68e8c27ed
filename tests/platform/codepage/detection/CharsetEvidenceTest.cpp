#include "platform/codepage/detection/CharsetEvidence.h"

#include <gtest/gtest.h>
#include <unicode/utf8.h>

#include <random>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/detection/ScriptEvidence.h"
#include "platform/files/FileReader.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

constexpr int kNoEvidenceConfidence = 10;

// The page ICU names above its no-evidence floor that the detector would take
// from it: wide Unicode or East Asian, decoding the sample cleanly. kNone if none.
CodePage CleanWideOrEastAsianPageIcuNames(std::string_view sample) {
  for (const CharsetCandidate& candidate : IcuCandidates(sample)) {
    if (candidate.confidence <= kNoEvidenceConfidence || candidate.codePage == codepage::kUtf8) continue;
    const CodePageFamily family = FamilyOf(candidate.codePage);
    if (family == CodePageFamily::Other) continue;
    if (DecodesCleanly(sample, candidate.codePage)) return candidate.codePage;
  }
  return codepage::kNone;
}

void ExpectGateOpenWhereIcuNamesAPage(std::string_view sample, const std::string& what) {
  const CodePage named = CleanWideOrEastAsianPageIcuNames(sample);
  if (named != codepage::kNone) {
    EXPECT_TRUE(IcuMayNameCleanWideOrEastAsianPage(sample)) << what << ": ICU names " << named;
  }
}

std::string Repeat(std::string_view text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

TEST(IcuGate, OpenForEveryEastAsianAndWideEncodingOfRealText) {
  const std::string japanese = Repeat(test::kJapaneseSentence, 3);
  const std::string chinese = Repeat(test::kChineseSentence, 3);
  const std::string korean = Repeat("대한민국은 동아시아의 한반도에 있는 나라이다. 수도는 서울이다.", 3);
  const std::string traditional = Repeat("中華民國是一個位於東亞的國家，首都是臺北。", 3);
  for (const auto& [text, converter] : {std::pair{japanese, "windows-31j"}, {japanese, "EUC-JP"},
                                        {japanese, "ISO-2022-JP"}, {chinese, "GB18030"},
                                        {traditional, "windows-950"}, {korean, "EUC-KR"},
                                        {chinese, "UTF-16LE"}, {chinese, "UTF-32BE"}}) {
    const std::string bytes = Transcode(text, converter);
    EXPECT_TRUE(IcuMayNameCleanWideOrEastAsianPage(bytes)) << converter;
    ExpectGateOpenWhereIcuNamesAPage(bytes, converter);
  }
}

// German text where every umlaut stands before an ASCII letter reads cleanly
// as Big5 and as GB18030, but holds none of the characters ICU's recognizers
// for those pages need: ICU would only name a single-byte page for it.
TEST(IcuGate, ClosedForGermanThatBig5AndGb18030HappenToRead) {
  const std::string german = Transcode(Repeat("Für größere Übungen wählt man März und Öfen. ", 20), "ISO-8859-1");
  ASSERT_TRUE(DecodesCleanly(german, 950));
  ASSERT_TRUE(DecodesCleanly(german, codepage::kGb18030));
  EXPECT_EQ(CleanWideOrEastAsianPageIcuNames(german), codepage::kNone);
  EXPECT_FALSE(IcuMayNameCleanWideOrEastAsianPage(german));
  EXPECT_EQ(FamilyOf(DetectCodePage(german)), CodePageFamily::Other);

  const std::string russian = Transcode(Repeat(test::kRussianSentence, 4), "windows-1251");
  EXPECT_FALSE(IcuMayNameCleanWideOrEastAsianPage(russian));
}

// uchardet glances only at text dense with high bytes, and there its East
// Asian answer is the one the full guess gives; sparse text gets no glance.
TEST(UchardetGlance, DenseEastAsianTextIsSettledAtAGlanceAndSparseTextIsNot) {
  const std::string chinese = Transcode(Repeat(std::string("Section 1. ") + test::kChineseSentence + "\n", 40), "GB18030");
  EXPECT_EQ(UchardetGlance(chinese), codepage::kGb18030);
  EXPECT_EQ(UchardetGlance(chinese), UchardetGuess(chinese));
  const std::string big5 = Transcode(Repeat("臺灣的首都是臺北，這裡有很多的學校和書店。", 40), "Big5");
  EXPECT_EQ(UchardetGlance(big5), UchardetGuess(big5));
  const std::string french = Transcode(Repeat(test::kFrenchSentence, 40), "windows-1252");
  EXPECT_EQ(UchardetGlance(french), codepage::kNone);
  EXPECT_EQ(UchardetGlance(std::string(5000, 'a')), codepage::kNone);
}

// The quick steps over common two- and three-byte characters judge as ICU's
// own step does, surrogates, overlong forms and characters cut off by the
// sample's end included.
TEST(Utf8Prefix, QuickStepsJudgeAsIcusStepDoes) {
  const auto reference = [](std::string_view sample) {
    const auto* bytes = reinterpret_cast<const uint8_t*>(sample.data());
    const int32_t length = static_cast<int32_t>(sample.size());
    for (int32_t i = 0; i < length;) {
      const int32_t start = i;
      UChar32 c;
      U8_NEXT(bytes, i, length, c);
      if (c >= 0) continue;
      const int32_t expected = U8_COUNT_TRAIL_BYTES(bytes[start]) + 1;
      if (bytes[start] < 0xC2 || bytes[start] > 0xF4 || start + expected <= length) return false;
      for (int32_t k = start + 1; k < length; ++k)
        if (!U8_IS_TRAIL(bytes[k])) return false;
      return true;
    }
    return true;
  };
  std::mt19937 random(3);
  const std::string pieces[] = {"a", " ", "\xC3\xA9", "\xE3\x81\x82", "\xEF\xBC\x81", "\xF0\x9F\x98\x80",
                                "\xE0\xA0\x80", "\xE0\x80\x80", "\xED\x9F\xBF", "\xED\xA0\x80", "\xC0\xAF",
                                "\xC2", "\xE3\x81", "\x80", "\xBF", "\xF4\x90\x80\x80", "\xFF"};
  int valid = 0;
  for (int round = 0; round < 20000; ++round) {
    std::string sample;
    const int count = static_cast<int>(random() % 8);
    for (int k = 0; k < count; ++k) sample += pieces[random() % std::size(pieces)];
    ASSERT_EQ(IsValidUtf8Prefix(sample), reference(sample)) << round;
    valid += reference(sample);
  }
  EXPECT_GT(valid, 1000);
}

// Zero bytes (UTF-16, UTF-32) and escapes (ISO-2022) open the gate whatever
// else the bytes hold.
TEST(IcuGate, ZeroBytesAndEscapesOpenIt) {
  const std::string latin = Transcode(Repeat(test::kFrenchSentence, 4), "windows-1252");
  ASSERT_FALSE(IcuMayNameCleanWideOrEastAsianPage(latin));
  EXPECT_TRUE(IcuMayNameCleanWideOrEastAsianPage(latin + std::string(1, '\0')));
  EXPECT_TRUE(IcuMayNameCleanWideOrEastAsianPage("\x1b$B" + latin));
}

// Every double-byte character, a dozen times among ASCII words: wherever ICU's
// Big5 or GB18030 recognizer counts it as common and the page reads it, the
// gate must be open. This sweeps ICU's own lists of common characters. One
// user-defined character, which both pages read and neither counts, shuts out
// the Japanese and Korean readings, which would open the gate on their own.
TEST(IcuGate, OpenForEveryCharacterIcuCountsAsCommon) {
  const std::string userDefined = "\xFE\x7E";
  const std::string filler = Repeat("ab cd ", 12) + userDefined;
  ASSERT_TRUE(DecodesCleanly(filler, 950));
  ASSERT_TRUE(DecodesCleanly(filler, codepage::kGb18030));
  ASSERT_FALSE(IcuMayNameCleanWideOrEastAsianPage(filler));
  int counted = 0;
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
      const std::string character{char(lead), char(trail)};
      const std::string sample = Repeat("ab " + character + "cd ", 12) + userDefined;
      counted += CleanWideOrEastAsianPageIcuNames(sample) != codepage::kNone;
      ExpectGateOpenWhereIcuNamesAPage(sample, "character " + std::to_string(lead << 8 | trail));
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(counted, 150);  // nearly all of ICU's Big5 and GB18030 common characters
}

// The same sweep with nothing to shut out the Japanese and Korean readings:
// wherever ICU's Shift_JIS, EUC-JP or EUC-KR recognizer counts a character as
// common and the page reads it, the gate must be open; and so for EUC's
// three-byte characters, whose last two bytes ICU looks up as one.
TEST(IcuGate, OpenForEveryCharacterIcuCountsAsCommonInTheJapaneseAndKoreanPages) {
  int counted = 0;
  const auto sweep = [&](const std::string& character, const std::string& what) {
    const std::string sample = Repeat("ab " + character + "cd ", 12);
    counted += CleanWideOrEastAsianPageIcuNames(sample) != codepage::kNone;
    ExpectGateOpenWhereIcuNamesAPage(sample, what);
  };
  for (unsigned lead = 0x80; lead <= 0xFF; ++lead) {
    for (unsigned trail = 0x40; trail <= 0xFF; ++trail) {
      sweep({char(lead), char(trail)}, "character " + std::to_string(lead << 8 | trail));
      if (HasFailure()) return;
    }
  }
  for (unsigned second = 0xA1; second <= 0xFE; ++second) {
    for (unsigned third = 0xA1; third <= 0xFE; ++third) {
      sweep({'\x8F', char(second), char(third)}, "EUC character 8F " + std::to_string(second << 8 | third));
      if (HasFailure()) return;
    }
  }
  EXPECT_GT(counted, 400);  // ICU's common characters of all five pages
}

// The labelled corpus, when it is there: on every sample the detector would
// hand to ICU, the gate is open wherever ICU's answer would count.
TEST(IcuGate, OpenWhereverIcuCountsOnTheLabelledCorpus) {
  const char* shared = std::getenv("TRAWLSCOPE_SHARED");
  const std::string root = std::string(shared ? shared : "../shared") + "/encodings";
  std::ifstream labels(root + "/labels.tsv");
  if (!labels) GTEST_SKIP() << "labelled corpus not found at " << root;
  std::string line;
  std::getline(labels, line);
  int checked = 0;
  while (std::getline(labels, line)) {
    const std::string path = line.substr(0, line.find('\t'));
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(root + "/" + path, bytes)) << path;
    const std::string_view sample = DetectionSample(bytes);
    if (FindByteOrderMark(bytes).length > 0 || IsValidUtf8Prefix(sample)) continue;
    ExpectGateOpenWhereIcuNamesAPage(sample, path);
    ++checked;
  }
  EXPECT_GT(checked, 500);
}

}  // namespace
}  // namespace trawlscope
