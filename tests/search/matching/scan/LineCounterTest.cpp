#include "search/matching/scan/LineCounter.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace trawlscope {
namespace {

std::int64_t LineOfIn(std::u16string_view text, size_t position) {
  LineCounter<char16_t> counter(text);
  return counter.LineOf(position);
}

// Empty lines count, as in every editor: these once came out as line 2.
TEST(LineCounter, EachCrLfLoneCrAndLoneLfEndsALine) {
  EXPECT_EQ(LineOfIn(u"a\rb\nc\r\nd", 7), 4);
  EXPECT_EQ(LineOfIn(u"a\n\n\n\nb", 5), 5);
  EXPECT_EQ(LineOfIn(u"a\r\n\r\nb", 5), 3);
  EXPECT_EQ(LineOfIn(u"a\r\rb", 3), 3);
  EXPECT_EQ(LineOfIn(u"a\n\rb", 3), 3);  // LF then CR: two lines end
  EXPECT_EQ(LineOfIn(u"\n", 1), 2);
  EXPECT_EQ(LineOfIn(u"abc", 2), 1);
  EXPECT_EQ(LineOfIn(u"", 0), 1);
}

// Units that hold a CR or LF byte are no breaks: U+010A, U+0D0A, U+8A0D,
// U+FF0A and surrogates, each at every place of a block of sixteen.
TEST(LineCounter, WideUnitsWithABreakByteAreNoBreaks) {
  for (const char16_t wide : {u'\u010A', u'\u0D0A', u'\u8A0D', u'\uFF0A', char16_t{0xD80D}, char16_t{0xDC0A}}) {
    for (size_t at = 0; at < 40; ++at) {
      std::u16string text(40, u'x');
      text[at] = wide;
      text[20] = u'\n';
      EXPECT_EQ(LineOfIn(text, 40), 2) << static_cast<unsigned>(wide) << " at " << at;
    }
  }
}

TEST(LineCounter, ABreakBelongsToTheLineItEnds) {
  LineCounter<char16_t> counter(u"a\nb\r\n");
  EXPECT_EQ(counter.LineOf(1), 1);
  EXPECT_EQ(counter.LineOf(2), 2);
  EXPECT_EQ(counter.LineOf(4), 2);  // between the CR and the LF of one break
  EXPECT_EQ(counter.LineOf(5), 3);  // an empty match at the very end
}

// The line of every unit, asked in ascending order with random gaps, in
// both kinds of text and at every length around the block size, against a
// unit-by-unit count from the start.
TEST(LineCounter, AscendingPositionsGetTheLinesACountFromTheStartGives) {
  std::mt19937 random(7);
  for (size_t length = 0; length < 80; ++length) {
    for (int round = 0; round < 20; ++round) {
      std::string bytes;
      for (size_t i = 0; i < length; ++i) {
        const unsigned pick = random() % 12;
        bytes += pick == 0 ? '\n' : pick == 1 ? '\r' : static_cast<char>('a' + pick);
      }
      std::vector<std::int64_t> expected(length + 1, 1);
      for (size_t p = 1; p <= length; ++p) {
        const bool endsLine = bytes[p - 1] == '\n' || (bytes[p - 1] == '\r' && (p == length || bytes[p] != '\n'));
        expected[p] = expected[p - 1] + (endsLine ? 1 : 0);
      }
      const std::u16string text(bytes.begin(), bytes.end());
      LineCounter<char> fromBytes(bytes);
      LineCounter<char16_t> fromText(text);
      for (size_t p = random() % 3; p <= length; p += 1 + random() % 20) {
        ASSERT_EQ(fromBytes.LineOf(p), expected[p]) << "length " << length << ", position " << p;
        ASSERT_EQ(fromText.LineOf(p), expected[p]) << "length " << length << ", position " << p;
      }
    }
  }
}

}  // namespace
}  // namespace trawlscope
