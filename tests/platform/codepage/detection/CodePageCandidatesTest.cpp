#include "platform/codepage/detection/CodePageCandidates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "platform/codepage/detection/CodePageDetector.h"
#include "platform/codepage/detection/ScriptEvidence.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::Transcode;

struct CandidateCase {
  const char* name;
  std::string bytes;
  CodePage first;
  CodePage alsoOffered;  // kNone: no check
  CodePage neverOffered;  // kNone: no check
};

std::string Utf16LeWithoutMark(std::string_view ascii) {
  std::string out;
  for (const char c : ascii) out += std::string{c, '\0'};
  return out;
}

TEST(CodePageCandidates, DetectedPageFirstThenCleanAlternativesWithoutDuplicates) {
  const CandidateCase cases[] = {
      // A wrong guess between the Japanese pages is the one users fix most.
      {"EUC-JP", Transcode(test::kJapaneseSentence, "EUC-JP"), codepage::kEucJp, codepage::kGb18030,
       codepage::kUtf8},
      {"Shift_JIS", Transcode(test::kJapaneseSentence, "windows-31j"), codepage::kShiftJis, codepage::kNone,
       codepage::kUtf8},
      {"Russian", Transcode(test::kRussianSentence, "windows-1251"), 1251, 20866, codepage::kUtf16Le},
      {"French", Transcode(test::kFrenchSentence, "windows-1252"), 1252, 28591, codepage::kUtf8},
      // EBCDIC reads any bytes, but not as the ASCII the text is mostly made of.
      {"Russian, EBCDIC guessed by ICU", Transcode(test::kRussianSentence, "windows-1251"), 1251, 866, 20420},
      {"UTF-8", test::kJapaneseSentence, codepage::kUtf8, codepage::kNone, codepage::kShiftJis},
      {"UTF-16 LE, no mark", Utf16LeWithoutMark("plain words\r\n"), codepage::kUtf16Le, codepage::kNone,
       codepage::kNone},
      // A mark decides the first page; the rest is judged on the bytes after it.
      {"UTF-8 mark", "\xEF\xBB\xBF" + Transcode("caf\xC3\xA9", "UTF-8"), codepage::kUtf8, codepage::kNone,
       codepage::kNone},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto pages = CodePageCandidates(c.bytes, 8);
    ASSERT_FALSE(pages.empty());
    EXPECT_EQ(pages.front(), DetectCodePage(c.bytes));
    EXPECT_EQ(pages.front(), c.first);
    EXPECT_LE(pages.size(), 8u);
    EXPECT_EQ(std::set<CodePage>(pages.begin(), pages.end()).size(), pages.size());
    const std::string_view sample = DetectionSample(std::string_view(c.bytes).substr(FindByteOrderMark(c.bytes).length));
    for (size_t i = 1; i < pages.size(); ++i) EXPECT_TRUE(DecodesCleanly(sample, pages[i])) << pages[i];
    const auto offered = [&](CodePage page) { return std::find(pages.begin(), pages.end(), page) != pages.end(); };
    if (c.alsoOffered != codepage::kNone) {
      EXPECT_TRUE(offered(c.alsoOffered)) << c.alsoOffered;
    }
    if (c.neverOffered != codepage::kNone) {
      EXPECT_FALSE(offered(c.neverOffered)) << c.neverOffered;
    }
  }
}

TEST(CodePageCandidates, MaxBoundsTheList) {
  const std::string bytes = Transcode(test::kJapaneseSentence, "EUC-JP");
  EXPECT_TRUE(CodePageCandidates(bytes, 0).empty());
  EXPECT_EQ(CodePageCandidates(bytes, 1), std::vector<CodePage>{codepage::kEucJp});
  EXPECT_EQ(CodePageCandidates("", 3).front(), codepage::kUtf8);
}

}  // namespace
}  // namespace trawlscope
