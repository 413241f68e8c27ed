#include "search/matching/LineStarts.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

std::int32_t LineOfIn(std::u16string_view text, std::int32_t position) {
  const AbortFlag never{false};
  LineStarts starts;
  BuildLineStarts(never, text, starts);
  return LineOf(starts, position);
}

TEST(LineStarts, AnyRunOfCrAndLfIsOneBreak) {
  EXPECT_EQ(LineOfIn(u"a\rb\nc\r\nd", 7), 4);
  EXPECT_EQ(LineOfIn(u"a\n\n\nb", 4), 2);
  EXPECT_EQ(LineOfIn(u"a\r\n\r\nb", 5), 2);
  EXPECT_EQ(LineOfIn(u"a\n\rb", 3), 2);
  EXPECT_EQ(LineOfIn(u"abc", 2), 1);
  EXPECT_EQ(LineOfIn(u"", 0), 1);
}

TEST(LineStarts, ABreakAtTheEndAddsAnEntryAtTheTextsLength) {
  const AbortFlag never{false};
  LineStarts starts;
  BuildLineStarts(never, u"a\nb\r\n", starts);
  EXPECT_EQ(starts, (LineStarts{2, 5}));
  EXPECT_EQ(LineOf(starts, 1), 1);  // the break itself belongs to the line it ends
  EXPECT_EQ(LineOf(starts, 2), 2);
}

}  // namespace
}  // namespace trawlscope
