#include "search/matching/scan/ByteSearch.h"

#include <gtest/gtest.h>

#include <random>

#include "support/RandomAscii.h"

namespace trawlscope {
namespace {

// The block-wise scan must find a needle wherever it sits: at the start, the
// end, across 16- and 64-byte block edges, and in haystacks of every length.
TEST(ByteFinder, AgreesWithAPlainFindAtEveryOffset) {
  const std::string needles[] = {"PM_RESUME", "a", "ab", "\x8A\xD6\x90\x94", "zz"};
  for (const std::string& needle : needles) {
    const ByteFinder finder(needle);
    for (size_t length = 0; length < 200; ++length) {
      std::string haystack(length, '.');
      EXPECT_FALSE(finder.FoundIn(haystack));
      for (size_t at = 0; at + needle.size() <= length; at += 7) {
        std::string with = haystack;
        with.replace(at, needle.size(), needle);
        ASSERT_TRUE(finder.FoundIn(with)) << needle << " at " << at << " of " << length;
        for (const size_t from : {at, at + 1, length, length + 1})
          ASSERT_EQ(finder.Find(with, from), with.find(needle, from)) << needle << " from " << from;
      }
    }
  }
}

TEST(ByteFinder, NearMissesAreNotMatches) {
  const ByteFinder finder("PM_RESUME");
  std::string haystack(300, 'x');
  haystack.replace(100, 9, "PM_RESUMX");
  haystack.replace(200, 9, "PX_RESUME");
  EXPECT_FALSE(finder.FoundIn(haystack));
}

TEST(ByteFinder, AsciiCaselessMatchesLettersInEitherCaseOnly) {
  const ByteFinder finder("pm_resume", true);
  EXPECT_TRUE(finder.FoundIn(std::string(70, ' ') + "Pm_ReSuMe"));
  EXPECT_FALSE(finder.FoundIn(std::string(70, ' ') + "pm\x7Fresume"));  // '_' | 0x20 is 0x7F
  const ByteFinder symbols("[x]", true);
  EXPECT_FALSE(symbols.FoundIn(std::string(40, ' ') + "{X}"));  // '[' | 0x20 is '{'
  EXPECT_TRUE(symbols.FoundIn(std::string(40, ' ') + "[X]"));
}

TEST(ByteFinder, RandomHaystacksAgreeWithStdFind) {
  std::mt19937 random(7);
  for (int round = 0; round < 500; ++round) {
    std::string haystack(random() % 300, '\0');
    for (char& c : haystack) c = "ab"[random() % 2];
    std::string needle(1 + random() % 5, '\0');
    for (char& c : needle) c = "ab"[random() % 2];
    ASSERT_EQ(ByteFinder(needle).FoundIn(haystack), haystack.find(needle) != std::string::npos);
  }
}

using test::FindFirst;
using test::RandomText;

// Candidates are tested first on the needle's rarest bytes, wherever they sit
// in it: the first occurrence is still the one found, in either case mode.
TEST(ByteFinder, FirstOccurrenceIsFoundWhicheverBytesAreProbed) {
  std::mt19937 random(11);
  const std::string alphabet = "aAeE_Qq\x80 ";
  for (int round = 0; round < 3000; ++round) {
    const std::string haystack = RandomText(random, random() % 200, alphabet);
    const std::string needle = RandomText(random, 1 + random() % 7, alphabet);
    const bool caseless = random() % 2 == 0;
    const size_t from = haystack.empty() ? 0 : random() % haystack.size();
    const size_t expected = FindFirst(haystack, needle, caseless, from);
    ASSERT_EQ(ByteFinder(needle, caseless).Find(haystack, from), expected)
        << needle << " in " << haystack << " from " << from << (caseless ? " caseless" : "");
  }
}

// The one-pass look answers as a search for the first high byte and then for
// the needle would: a high byte at the very start, in the middle of a round,
// in the tail past the last full round (of the narrow or the wide scan) or
// nowhere, needles in either case.
TEST(ByteFinder, LookingInAsciiAnswersAsTheTwoQuestionsApartWould) {
  std::mt19937 random(13);
  const std::string alphabet = "aAeE_Qq \n";
  int counts[3] = {};
  for (int round = 0; round < 6000; ++round) {
    const std::string haystack = test::RandomHaystack(random, 700, alphabet);
    const std::string needle = RandomText(random, 1 + random() % 6, std::string_view(alphabet).substr(0, alphabet.size() - 1));
    const bool caseless = random() % 2 == 0;
    using InAscii = ByteFinder::InAscii;
    InAscii expected = InAscii::NotFound;
    if (haystack.find('\xE9') != std::string::npos)
      expected = InAscii::HighByte;
    else if (FindFirst(haystack, needle, caseless) != std::string::npos)
      expected = InAscii::Found;
    ASSERT_EQ(ByteFinder(needle, caseless).LookInAscii(haystack), expected)
        << needle << " in " << haystack << (caseless ? " caseless" : "");
    ++counts[static_cast<int>(expected)];
  }
  for (const int count : counts) EXPECT_GT(count, 500);
}

}  // namespace
}  // namespace trawlscope
