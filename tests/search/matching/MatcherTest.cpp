#include "search/matching/Matcher.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>
#include <utility>
#include <vector>

namespace trawlscope {
namespace {

using Spans = std::vector<std::pair<size_t, size_t>>;

Spans Scan(const std::u16string& pattern, std::u16string_view text, MatchMode mode,
           bool caseSensitive = true) {
  const Matcher matcher(pattern, caseSensitive);
  const AbortFlag never{false};
  Spans spans;
  matcher.Scan(text, mode, never, [&](size_t p, size_t n) { spans.emplace_back(p, n); });
  return spans;
}

TEST(Matcher, ExactOccurrencesDoNotOverlap) {
  EXPECT_EQ(Scan(u"aa", u"aaaa", MatchMode::Exact), (Spans{{0, 2}, {2, 2}}));
  EXPECT_EQ(Scan(u"aa", u"aaa", MatchMode::Exact), (Spans{{0, 2}}));
  EXPECT_EQ(Scan(u"", u"abc", MatchMode::Exact), Spans{});
  EXPECT_EQ(Scan(u"b", std::u16string(u"a\0b", 3), MatchMode::Exact), (Spans{{2, 1}}));
}

TEST(Matcher, CaseInsensitiveScanFoldsUnitsAndSeesPastNul) {
  EXPECT_EQ(Scan(u"word", u"A WORD, a Word", MatchMode::CaseInsensitive), (Spans{{2, 4}, {10, 4}}));
  // A scan that stopped at U+0000 would miss the second hit that a replace changes.
  EXPECT_EQ(Scan(u"x", std::u16string(u"x\0X", 3), MatchMode::CaseInsensitive),
            (Spans{{0, 1}, {2, 1}}));
  EXPECT_EQ(Scan(u"k", u"\x212A", MatchMode::CaseInsensitive), (Spans{{0, 1}}));  // KELVIN SIGN
  EXPECT_EQ(Scan(u"ÄRGER", u"ärger", MatchMode::CaseInsensitive), (Spans{{0, 5}}));
  EXPECT_EQ(Scan(u"関数", u"関数と関数", MatchMode::CaseInsensitive), (Spans{{0, 2}, {3, 2}}));
}

TEST(Matcher, ExpressionResumesSeeingTheTextBeforeThem) {
  const auto re = MatchMode::RegularExpression;
  // "^" matches only at line starts, not at every resume point.
  EXPECT_EQ(Scan(u"^a", u"aaa", re), (Spans{{0, 1}}));
  EXPECT_EQ(Scan(u"^a", u"aa\na", re), (Spans{{0, 1}, {3, 1}}));
  EXPECT_EQ(Scan(u"\\bab", u"abab ab", re), (Spans{{0, 2}, {5, 2}}));
  EXPECT_EQ(Scan(u"(?<=a)b", u"abab", re), (Spans{{1, 1}, {3, 1}}));
}

TEST(Matcher, EmptyMatchesAdvanceAndEnd) {
  const auto re = MatchMode::RegularExpression;
  EXPECT_EQ(Scan(u"x*", u"ab", re), (Spans{{0, 0}, {1, 0}, {2, 0}}));
  EXPECT_EQ(Scan(u"a*", u"baa", re), (Spans{{0, 0}, {1, 2}, {3, 0}}));
}

TEST(Matcher, PositionsCountCodeUnitsAndAPairIsOneCharacter) {
  const std::u16string text = u"😀x😀y";
  EXPECT_EQ(Scan(u".y", text, MatchMode::RegularExpression), (Spans{{3, 3}}));
  EXPECT_EQ(Scan(u"😀.", text, MatchMode::RegularExpression), (Spans{{0, 3}, {3, 3}}));
  EXPECT_EQ(Scan(u"x", text, MatchMode::Exact), (Spans{{2, 1}}));
}

TEST(Matcher, DotMatchesLineBreaksAndCaseFoldsInTheExpression) {
  EXPECT_EQ(Scan(u"a.b", u"a\nb", MatchMode::RegularExpression), (Spans{{0, 3}}));
  EXPECT_EQ(Scan(u"abc", u"ABC", MatchMode::RegularExpression, false), (Spans{{0, 3}}));
  EXPECT_EQ(Scan(u"abc", u"ABC", MatchMode::RegularExpression, true), Spans{});
}

TEST(Matcher, BrokenExpressionIsReportedAndPlainScansStillWork) {
  const Matcher matcher(u"printf(", true);
  EXPECT_FALSE(matcher.ExpressionCompiled());
  EXPECT_EQ(Scan(u"printf(", u"printf(\"x\")", MatchMode::Exact), (Spans{{0, 7}}));
  EXPECT_EQ(Scan(u"printf(", u"x", MatchMode::RegularExpression), Spans{});
}

// The description names the fault and where it lies; characters beyond ASCII
// and outside the BMP keep their UTF-8 bytes instead of being cut to one byte.
TEST(Matcher, BrokenExpressionIsDescribedWithItsPlace) {
  EXPECT_EQ(Matcher(u"needle", true).ExpressionError(), "");
  const Matcher unmatched(u"関数[a-", true);
  const std::string unmatchedText = unmatched.ExpressionError();
  EXPECT_NE(unmatchedText.find("Unmatched [ or [^ in character class declaration"), std::string::npos) << unmatchedText;
  EXPECT_NE(unmatchedText.find("(at offset 5: 関数[a->>>HERE>>>)"), std::string::npos) << unmatchedText;
  EXPECT_EQ(unmatchedText.find("The error occurred"), std::string::npos);

  const std::string quantifier = Matcher(u"\U0001F600*+*", true).ExpressionError();
  EXPECT_NE(quantifier.find("\U0001F600*+>>>HERE>>>*"), std::string::npos) << quantifier;
}

TEST(Matcher, AbortDropsTheOccurrenceFoundAfterIt) {
  const Matcher matcher(u"a", true);
  AbortFlag abort{false};
  Spans spans;
  const auto end = matcher.Scan(u"aaaa", MatchMode::Exact, abort, [&](size_t p, size_t n) {
    spans.emplace_back(p, n);
    if (spans.size() == 2) abort = true;
  });
  EXPECT_EQ(end, Matcher::ScanEnd::Aborted);
  EXPECT_EQ(spans.size(), 2u);
}

TEST(Matcher, ExpressionTooComplexForTheTextIsAnErrorNotACrash) {
  const Matcher matcher(u"(a|aa)*(a|aa)*(a|aa)*c", true);
  const std::u16string text(5000, u'a');
  const AbortFlag never{false};
  size_t found = 0;
  const auto end = matcher.Scan(text, MatchMode::RegularExpression, never,
                                [&](size_t, size_t) { ++found; });
  EXPECT_EQ(end, Matcher::ScanEnd::MatchError);
  EXPECT_EQ(found, 0u);
}

// Backtracks exponentially over a line of "x" and never matches. The comment
// only makes the expression long: Boost's give-up point grows with the square
// of the expression's length, which puts it hours away.
std::u16string CatastrophicExpression() {
  return u"(x+x+)+y(?#" + std::u16string(4000, u'-') + u")";
}

TEST(Matcher, AbortEndsASearchStuckInsideOneMatchAttempt) {
  const Matcher matcher(CatastrophicExpression(), true);
  ASSERT_TRUE(matcher.CanScanAsciiBytes());
  const std::string bytes(100000, 'x');
  const std::u16string text(bytes.begin(), bytes.end());
  for (const bool asBytes : {true, false}) {
    AbortFlag abort{false};
    std::thread user([&] {
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      abort = true;
    });
    size_t found = 0;
    const auto count = [&](size_t, size_t) { ++found; };
    const auto end = asBytes ? matcher.ScanAsciiBytes(bytes, abort, count)
                             : matcher.Scan(text, MatchMode::RegularExpression, abort, count);
    user.join();
    EXPECT_EQ(end, Matcher::ScanEnd::Aborted) << (asBytes ? "bytes" : "UTF-16");
    EXPECT_EQ(found, 0u);
  }
}

TEST(Matcher, AScanAfterAnAbortedOneIsAbortableAndFindsItsHits) {
  const Matcher matcher(CatastrophicExpression(), true);
  const std::u16string text(100000, u'x');
  const AbortFlag set{true};
  EXPECT_EQ(matcher.Scan(text, MatchMode::RegularExpression, set, [](size_t, size_t) {}),
            Matcher::ScanEnd::Aborted);
  EXPECT_EQ(matcher.Scan(text, MatchMode::RegularExpression, set, [](size_t, size_t) {}),
            Matcher::ScanEnd::Aborted);
  EXPECT_EQ(Scan(u"x+y", u"xxy xy", MatchMode::RegularExpression), (Spans{{0, 3}, {4, 2}}));
}

// Boost sized its give-up point by the text's length only for text it can
// measure at once, the bytes; for the code points of UTF-16 text it allowed a
// fixed 10^8 states. So the two scans of one text disagreed both ways: a short
// text too complex as bytes passed as UTF-16 (this case), and a long one too
// complex as UTF-16 passed as bytes, where a replace then refused a file whose
// hits a search had listed.
TEST(Matcher, BothScansGiveUpOnTheSameText) {
  const Matcher matcher(u"a(?:a|b)*c", true);
  ASSERT_TRUE(matcher.CanScanAsciiBytes());
  const std::string bytes = std::string(500, 'a') + "b";
  const std::u16string text(bytes.begin(), bytes.end());
  const AbortFlag never{false};
  const auto ignore = [](size_t, size_t) {};
  EXPECT_EQ(matcher.ScanAsciiBytes(bytes, never, ignore), Matcher::ScanEnd::MatchError);
  EXPECT_EQ(matcher.Scan(text, MatchMode::RegularExpression, never, ignore),
            Matcher::ScanEnd::MatchError);
}

// The byte scan of pure ASCII text is a shortcut: it must find exactly what
// the Unicode engine finds in the widened text.
TEST(Matcher, AsciiByteScanAgreesWithTheUnicodeScan) {
  const char16_t* patterns[] = {u"[A-Z][a-z]+_[a-z]+", u"^\\s*#\\w+", u"\\bint\\b", u"a.b", u"x*",
                                u"(?i)ab|cd$", u"[[:punct:]]+", u"\\d{2,}", u"(?<=_)[a-z]"};
  std::mt19937 random(20261207);
  const std::string alphabet = "abcdxyzABXZ_ #\t\r\n0123456789.;(){}int";
  for (const char16_t* pattern : patterns) {
    for (const bool caseSensitive : {true, false}) {
      const Matcher matcher(pattern, caseSensitive);
      ASSERT_TRUE(matcher.CanScanAsciiBytes());
      for (int round = 0; round < 20; ++round) {
        std::string bytes;
        for (int i = 0; i < 300; ++i) bytes += alphabet[random() % alphabet.size()];
        const std::u16string text(bytes.begin(), bytes.end());
        const AbortFlag never{false};
        Spans fromBytes, fromText;
        matcher.ScanAsciiBytes(bytes, never, [&](size_t p, size_t n) { fromBytes.emplace_back(p, n); });
        matcher.Scan(text, MatchMode::RegularExpression, never,
                     [&](size_t p, size_t n) { fromText.emplace_back(p, n); });
        ASSERT_EQ(fromBytes, fromText) << bytes;
      }
    }
  }
  EXPECT_FALSE(Matcher(u"\\p{Han}", true).CanScanAsciiBytes());
  EXPECT_FALSE(Matcher(u"関数", true).CanScanAsciiBytes());
}

}  // namespace
}  // namespace trawlscope
