#include "platform/codepage/detection/CodePageDetector.h"

#include <gtest/gtest.h>

#include <unicode/ucnv.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/codepage/conversion/CodePageConverter.h"
#include "platform/codepage/detection/ScriptEvidence.h"
#include "platform/files/FileReader.h"
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

TEST(CodePageDetector, ByteOrderMarksDecide) {
  EXPECT_EQ(DetectCodePage("\xEF\xBB\xBF" "abc"), 65001u);
  EXPECT_EQ(DetectCodePage("\xFF\xFE" "a\0"), 1200u);
  EXPECT_EQ(DetectCodePage("\xFE\xFF\0a"), 1201u);
  EXPECT_EQ(DetectCodePage(std::string("\xFF\xFE\0\0a\0\0\0", 8)), 12000u);
  EXPECT_EQ(DetectCodePage(std::string("\0\0\xFE\xFF\0\0\0a", 8)), 12001u);
  EXPECT_EQ(FindByteOrderMark("\xEF\xBB\xBF").length, 3u);
  EXPECT_EQ(FindByteOrderMark("\xFF").length, 0u);  // one byte is never a mark
  EXPECT_EQ(FindByteOrderMark("\xEF\xBB").length, 0u);
}

TEST(CodePageDetector, AsciiAndEmptyFilesReadAsUtf8SoAnyTextCanBeWrittenIntoThem) {
  EXPECT_EQ(DetectCodePage(""), 65001u);
  EXPECT_EQ(DetectCodePage("int main(void) { return 0; }\n"), 65001u);
}

TEST(CodePageDetector, JapaneseEncodingsOfARealSentence) {
  const std::string text = Repeat(test::kJapaneseSentence, 3);
  EXPECT_EQ(DetectCodePage(Transcode(text, "windows-31j")), 932u);
  EXPECT_EQ(DetectCodePage(Transcode(text, "EUC-JP")), 51932u);
  EXPECT_EQ(DetectCodePage(Transcode(text, "ISO-2022-JP")), 50220u);
  EXPECT_EQ(DetectCodePage(text), 65001u);
}

TEST(CodePageDetector, OneLineOfJapaneseIsNotTakenForLatin) {
  EXPECT_EQ(DetectCodePage(Transcode("名前はまだ無い。", "windows-31j")), 932u);
  EXPECT_EQ(DetectCodePage(Transcode("名前はまだ無い。", "EUC-JP")), 51932u);
}

TEST(CodePageDetector, LongEnglishHeaderDoesNotHideTheShiftJisBelowIt) {
  const std::string header = Repeat("This header line is plain ASCII and longer than the sample.\n", 300);
  ASSERT_GT(header.size(), kDetectionSampleBytes);
  const std::string bytes = header + Transcode(Repeat(test::kJapaneseSentence, 2), "windows-31j");
  EXPECT_EQ(DetectCodePage(bytes), 932u);
  EXPECT_EQ(DetectionSample(bytes).substr(0, 2), bytes.substr(header.size(), 2));
}

TEST(CodePageDetector, Utf16WithoutMarkIsToldByItsZeroBytes) {
  const std::string text = Repeat(std::string("Line of text\n") + test::kJapaneseSentence + "\n", 4);
  EXPECT_EQ(DetectCodePage(Transcode(text, "UTF-16LE")), 1200u);
  EXPECT_EQ(DetectCodePage(Transcode(text, "UTF-16BE")), 1201u);
  const std::string russian = Repeat(std::string(test::kRussianSentence) + "\n", 4);
  EXPECT_EQ(DetectCodePage(Transcode(russian, "UTF-16LE")), 1200u);
}

TEST(CodePageDetector, SingleBytePagesStayOutOfTheEastAsianOnes) {
  const std::string russian = Repeat(test::kRussianSentence, 4);
  EXPECT_EQ(DetectCodePage(Transcode(russian, "windows-1251")), 1251u);
  EXPECT_EQ(DetectCodePage(Transcode(russian, "KOI8-R")), 20866u);
  const CodePage french = DetectCodePage(Transcode(Repeat(test::kFrenchSentence, 4), "windows-1252"));
  EXPECT_EQ(FamilyOf(french), CodePageFamily::Other);
  std::u16string decoded;
  ASSERT_TRUE(DecodeToUtf16(Transcode(test::kFrenchSentence, "windows-1252"), french, decoded));
}

TEST(CodePageDetector, ChineseAndKorean) {
  const std::string chinese = Repeat(test::kChineseSentence, 4);
  const CodePage gb = DetectCodePage(Transcode(chinese, "GB18030"));
  EXPECT_TRUE(gb == 54936u || gb == 936u) << gb;
  const std::string traditional = Repeat("中華民國是一個位於東亞的國家，首都是臺北。", 4);
  EXPECT_EQ(DetectCodePage(Transcode(traditional, "windows-950")), 950u);
  const std::string korean = Repeat("대한민국은 동아시아의 한반도에 있는 나라이다. 수도는 서울이다.", 4);
  // UHC (949) is a superset of EUC-KR and decodes these bytes alike.
  std::u16string decoded;
  const std::string euckr = Transcode(korean, "EUC-KR");
  ASSERT_TRUE(DecodeToUtf16(euckr, DetectCodePage(euckr), decoded));
  EXPECT_EQ(decoded, test::U16(korean));
}

// The script readings for short samples want Korean all but pure Hangul: a
// few Hanja fail it, and the Hangul, whose EUC-KR bytes are GB2312's common
// hanzi, then read as Chinese. Past a short sample the statistics decide.
TEST(CodePageDetector, KoreanWithHanjaPastTheShortSampleIsNotTakenForChinese) {
  const std::string korean =
      "고구려(高句麗)는 기원전에 세워진 국가(國家)로, 한때 만주와 한반도 북부를 다스렸다.\n"
      "광개(廣開) 시대에 국토가 크게 넓어졌고, 대동강(大同江) 근처로 도읍을 옮겼다.\n"
      "고분(古墳)의 벽화에는 당시 사람들의 생활과 생각이 잘 남아 있다.\n"
      "고구려는 수나라와 당나라의 침입을 여러 차례 막아 냈지만 결국 멸망하였다.\n"
      "이러한 기록(記錄)은 대륙(大陸)의 역사에도 남아 있으며, 국내(國內) 학자들이 연구한다.\n";
  const std::string bytes = Transcode(korean, "EUC-KR");
  const auto high = std::count_if(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
  ASSERT_GE(static_cast<size_t>(high), kShortSampleHighBytes);
  std::u16string decoded;
  ASSERT_TRUE(DecodeToUtf16(bytes, DetectCodePage(bytes), decoded)) << DetectCodePage(bytes);
  EXPECT_EQ(decoded, test::U16(korean)) << DetectCodePage(bytes);
}

// The labelled corpus beside the project, when it is there: the share of
// files that decode to their true text must not fall below what was measured.
TEST(CodePageDetector, LabelledCorpusStaysAboveItsMeasuredShare) {
  const char* shared = std::getenv("TRAWLSCOPE_SHARED");
  const std::string root = std::string(shared ? shared : "../shared") + "/encodings";
  std::ifstream labels(root + "/labels.tsv");
  if (!labels)
    GTEST_SKIP() << "labelled corpus folder not found: looked for " << root << "/labels.tsv ("
                 << (shared ? "TRAWLSCOPE_SHARED" : "TRAWLSCOPE_SHARED unset, relative to "
                                                  + std::filesystem::current_path().string())
                 << ")";
  std::string line;
  std::getline(labels, line);
  int right = 0, total = 0;
  while (std::getline(labels, line)) {
    std::vector<std::string> f;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) f.push_back(field);
    ASSERT_GE(f.size(), 7u) << "labels.tsv line: " << line;
    if (f[2] == "-" || f[6] == "derived-tiny") continue;
    std::string bytes;
    EXPECT_TRUE(ReadWholeFile(root + "/" + f[0], bytes)) << f[0];
    const ByteOrderMark mark = FindByteOrderMark(bytes);
    std::u16string ours, truth;
    DecodeToUtf16(std::string_view(bytes).substr(mark.length), DetectCodePage(bytes), ours);
    std::string utf8 = bytes;
    UErrorCode status = U_ZERO_ERROR;
    std::string converted(bytes.size() * 4 + 16, '\0');
    const int32_t length = ucnv_convert("UTF-8", f[2].c_str(), converted.data(),
                                        static_cast<int32_t>(converted.size()), bytes.data(),
                                        static_cast<int32_t>(bytes.size()), &status);
    converted.resize(U_SUCCESS(status) ? length : 0);
    ASSERT_TRUE(DecodeToUtf16(converted, 65001, truth));
    if (!truth.empty() && truth.front() == u'\xFEFF') truth.erase(0, 1);
    right += ours == truth;
    ++total;
  }
  EXPECT_GT(total, 600);
  EXPECT_GE(right * 100, total * 97) << right << " of " << total;
}

}  // namespace
}  // namespace trawlscope
