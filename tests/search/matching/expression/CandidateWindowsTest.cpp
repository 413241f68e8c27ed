#include "search/matching/expression/CandidateWindows.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

// One long line full of matches: the windows' measuring reads each unit a
// few times in all, not once per match (which made a 330 kB line take 10 s).
TEST(CandidateWindows, MeasuringALongLineStaysLinearInItsLength) {
  constexpr size_t kLength = 100000;
  const struct {
    const char16_t* pattern;
    std::u16string text;
  } cases[] = {
      {u"e.", std::u16string(kLength, u'e')},
      {u".e", std::u16string(kLength, u'e')},
      {u"関.", std::u16string(kLength, u'関')},
      {u"e.", [] {
         std::u16string words;
         while (words.size() < kLength) words += u"abcde fghij ";
         return words;
       }()},
  };
  for (const auto& c : cases) {
    const auto facts = AnalyzeExpression(c.pattern, true);
    ASSERT_TRUE(facts) << static_cast<int>(c.pattern[0]);
    CandidateWindows<char16_t> windows(*facts, c.text);
    size_t from = 0, start = 0, end = 0, windowsSeen = 0;
    while (windows.Next(from, start, end)) {
      ++windowsSeen;
      from = start + 2;  // as a two-unit match moves the search on
    }
    EXPECT_GT(windowsSeen, kLength / 12);
    EXPECT_LE(windows.UnitsMeasured(), 3 * c.text.size()) << static_cast<int>(c.pattern[0]);
  }
}

}  // namespace
}  // namespace trawlscope
