#include "search/matching/LineStarts.h"

#include <gtest/gtest.h>

#include <random>

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

// Breaks are found sixteen bytes at a time: one at any offset, in text of
// any length, in both kinds of text, gives the entries a unit-by-unit walk gives.
TEST(LineStarts, BreaksAtEveryOffsetOfBothKindsOfText) {
  const AbortFlag never{false};
  std::mt19937 random(7);
  for (size_t length = 0; length < 80; ++length) {
    for (int round = 0; round < 20; ++round) {
      std::string bytes;
      LineStarts expected;
      for (size_t i = 0; i < length; ++i) {
        const unsigned pick = random() % 12;
        bytes += pick == 0 ? '\n' : pick == 1 ? '\r' : static_cast<char>('a' + pick);
        const bool isBreak = bytes.back() == '\n' || bytes.back() == '\r';
        if (isBreak && !expected.empty() && expected.back() == static_cast<std::int64_t>(i)) expected.back() = i + 1;
        else if (isBreak) expected.push_back(static_cast<std::int64_t>(i + 1));
      }
      LineStarts fromBytes, fromText;
      BuildLineStarts(never, bytes, fromBytes);
      BuildLineStarts(never, std::u16string(bytes.begin(), bytes.end()), fromText);
      ASSERT_EQ(fromBytes, expected) << length;
      ASSERT_EQ(fromText, expected) << length;
    }
  }
}

}  // namespace
}  // namespace trawlscope
