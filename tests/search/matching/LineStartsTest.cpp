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

// Breaks at every offset from a block's edge, in both the UTF-16 and the
// byte form, against the rule spelled out one unit at a time.
TEST(LineStarts, BreaksAnywhereInALongTextAreFoundInBothForms) {
  unsigned seed = 3;
  const auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  const AbortFlag never{false};
  for (int round = 0; round < 200; ++round) {
    std::string bytes;
    for (int i = 0, n = static_cast<int>(next() % 120); i < n; ++i) bytes += "ab\r\nxyz"[next() % 7];
    LineStarts expected;
    for (size_t i = 0; i < bytes.size();) {
      if (bytes[i] != '\r' && bytes[i] != '\n') {
        ++i;
        continue;
      }
      while (i < bytes.size() && (bytes[i] == '\r' || bytes[i] == '\n')) ++i;
      expected.push_back(static_cast<std::int64_t>(i));
    }
    LineStarts fromBytes, fromUnits;
    BuildLineStarts(never, std::string_view(bytes), fromBytes);
    BuildLineStarts(never, std::u16string_view(std::u16string(bytes.begin(), bytes.end())), fromUnits);
    ASSERT_EQ(fromBytes, expected) << bytes;
    ASSERT_EQ(fromUnits, expected) << bytes;
  }
}

}  // namespace
}  // namespace trawlscope
