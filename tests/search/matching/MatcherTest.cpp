#include "search/matching/Matcher.h"

#include "search/matching/unicode/CaseFolding.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
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

// Both literal scans look for the search text's first two units in blocks
// (the case-insensitive one for every unit folding to them): they must find
// what a unit-by-unit comparison finds, at every distance from the block
// edges, and for first units with many alikes.
TEST(Matcher, LiteralScansFindWhatAUnitByUnitComparisonFinds) {
  std::mt19937 random(7);
  const std::u16string alphabet = u"tThHeE\u0398\u03B8\u03D1\u03F4\u03B9\u0399\u0345\u1FBE kK\u212A\n";
  const std::u16string patterns[] = {u"the", u"T", u"k", u"\u03B8x", u"\u0399\u03B9", u"eh", u"tt"};
  const auto naive = [](const std::u16string& text, const std::u16string& pattern, bool fold) {
    const auto same = [&](std::u16string_view a, std::u16string_view b) {
      return fold ? FoldCodeUnits(a) == FoldCodeUnits(b) : a == b;
    };
    Spans spans;
    for (size_t at = 0; at + pattern.size() <= text.size();) {
      if (same(std::u16string_view(text).substr(at, pattern.size()), pattern)) {
        spans.emplace_back(at, pattern.size());
        at += pattern.size();
      } else {
        ++at;
      }
    }
    return spans;
  };
  for (int round = 0; round < 400; ++round) {
    std::u16string text;
    const size_t length = random() % 70;
    for (size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
    for (const std::u16string& pattern : patterns) {
      ASSERT_EQ(Scan(pattern, text, MatchMode::CaseInsensitive, false), naive(text, pattern, true))
          << "round " << round << ", pattern of " << pattern.size() << " units";
      ASSERT_EQ(Scan(pattern, text, MatchMode::Exact), naive(text, pattern, false))
          << "round " << round << ", pattern of " << pattern.size() << " units";
    }
  }
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
  // The text holds "cd", which every match needs, so it is not passed over.
  const Matcher matcher(u"(a|aa)*(a|aa)*(a|aa)*cd", true);
  const std::u16string text = std::u16string(5000, u'a') + u"ccd";
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

// Searches of short stretches must not give up sooner than a search of the
// whole text would: the first stretch here takes more states than Boost
// allows a text of its own length, but far fewer than the whole text's share.
TEST(Matcher, StretchesGiveUpWhereTheWholeTextWould) {
  const std::u16string pattern = u"(x+x+)+yz";
  const Matcher fast(pattern + u"(?#)", true);
  const Matcher whole(pattern + u"\\Q\\E", true);
  ASSERT_NE(fast.Facts(), nullptr);
  ASSERT_EQ(whole.Facts(), nullptr);
  const std::string bytes = std::string(14, 'x') + "yyz" + std::string(100000, '.') + "xxyz";
  const std::u16string text(bytes.begin(), bytes.end());
  const AbortFlag never{false};
  for (const Matcher* matcher : {&fast, &whole}) {
    Spans fromBytes, fromText;
    EXPECT_EQ(matcher->ScanAsciiBytes(bytes, never, [&](size_t p, size_t n) { fromBytes.emplace_back(p, n); }),
              Matcher::ScanEnd::Completed);
    EXPECT_EQ(matcher->Scan(text, MatchMode::RegularExpression, never,
                            [&](size_t p, size_t n) { fromText.emplace_back(p, n); }),
              Matcher::ScanEnd::Completed);
    EXPECT_EQ(fromBytes, (Spans{{bytes.size() - 4, 4}}));
    EXPECT_EQ(fromText, fromBytes);
  }
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

namespace trawlscope {
namespace {

// Random expressions from a small grammar: literals, classes, alternation,
// optional and repeated parts, anchors, look-arounds and back-references.
class ExpressionGenerator {
 public:
  explicit ExpressionGenerator(std::mt19937& random) : random_(random) {}

  std::u16string Expression(int depth = 0) {
    std::u16string out = Sequence(depth);
    if (depth < 2 && Chance(4)) out += u"|" + Sequence(depth);
    return out;
  }

 private:
  bool Chance(unsigned oneIn) { return random_() % oneIn == 0; }

  template <size_t N>
  std::u16string Pick(const char16_t* const (&choices)[N]) {
    return choices[random_() % N];
  }

  std::u16string Sequence(int depth) {
    std::u16string out;
    const unsigned items = 1 + random_() % 4;
    for (unsigned i = 0; i < items; ++i) out += Item(depth);
    return out;
  }

  std::u16string Item(int depth) {
    static const char16_t* const literals[] = {u"a", u"b", u"_", u"ab", u"K", u"xy", u"\\.", u" ",
                                               u"\u00e9", u"\u017F", u"関数"};
    static const char16_t* const classes[] = {u"[a-c]", u"[^a_]", u"\\w", u"\\s", u"\\d", u"\\W",
                                              u"[A-Z]", u".", u"[k_]", u"\\S"};
    static const char16_t* const anchors[] = {u"^", u"$", u"\\b", u"\\B"};
    static const char16_t* const lookBehinds[] = {u"(?<=a)", u"(?<!b)", u"(?<=\\s)", u"(?<!_)"};
    static const char16_t* const quantifiers[] = {u"?", u"*", u"+", u"{1,2}", u"+?", u"{2}"};
    std::u16string item;
    switch (random_() % 10) {
      case 0:
      case 1:
      case 2: item = Pick(literals); break;
      case 3:
      case 4: item = Pick(classes); break;
      case 5: item = Pick(anchors); break;
      case 6: item = Pick(lookBehinds); break;
      case 7:
        if (depth < 2) item = (Chance(2) ? u"(?=" : u"(?!") + Sequence(depth + 1) + u")";
        break;
      case 8:
        if (depth < 2) item = u"(" + Expression(depth + 1) + u")\\1";
        break;
      default:
        if (depth < 2) item = u"(?:" + Expression(depth + 1) + u")";
        break;
    }
    if (!item.empty() && Chance(3)) item += Pick(quantifiers);
    return item;
  }

  std::mt19937& random_;
};

// Text from a few characters, with literals of the grammar sprinkled in.
std::u16string RandomText(std::mt19937& random, bool asciiOnly) {
  static const char16_t* const pieces[] = {u"a", u"b", u"c", u"x", u"y", u"_", u"K", u"k", u"A",
                                           u"Z", u"1", u" ", u"\n", u"\r\n", u".", u"ab", u"xy_",
                                           u"Kab", u"__", u"\t"};
  static const char16_t* const wide[] = {u"\u00e9", u"\u212A", u"\u017F", u"\U0001F600", u"\u00a0",
                                         u"\u00c9", u"関数", u"関"};
  std::u16string text;
  const unsigned count = random() % 120;
  for (unsigned i = 0; i < count; ++i) {
    if (!asciiOnly && random() % 10 == 0)
      text += wide[random() % std::size(wide)];
    else
      text += pieces[random() % std::size(pieces)];
  }
  return text;
}

struct Outcome {
  Matcher::ScanEnd end = Matcher::ScanEnd::Completed;
  Spans spans;
  std::vector<std::u16string> replacements;
  bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* out) {
  *out << "end " << static_cast<int>(outcome.end) << ", spans";
  for (const auto& [p, n] : outcome.spans) *out << " " << p << "+" << n;
  for (const std::u16string& r : outcome.replacements) *out << " " << std::string(r.begin(), r.end());
}

Outcome ScanText(const Matcher& matcher, const std::u16string& text) {
  const AbortFlag never{false};
  Outcome out;
  const std::u16string format = u"<$&|$1>";
  out.end = matcher.ForEachExpressionMatch(
      text, never,
      [&](const Matcher::ExpressionMatch& m) {
        out.spans.emplace_back(m.position, m.length);
        out.replacements.push_back(m.replacement);
      },
      &format);
  return out;
}

Outcome ScanBytes(const Matcher& matcher, const std::u16string& text) {
  const AbortFlag never{false};
  Outcome out;
  const std::string bytes(text.begin(), text.end());
  out.end = matcher.ScanAsciiBytes(bytes, never,
                                   [&](size_t p, size_t n) { out.spans.emplace_back(p, n); });
  return out;
}

// A scan of stretches must find what the whole-text scan finds. Where the
// whole-text scan gives up, its states having piled up over stretches the
// other never visits, the other may go on: its hits then extend the ones
// found before the give-up point, and it may give up further on.
void ExpectSameScan(const Outcome& fast, const Outcome& whole, const std::string& shown,
                    int& wholeGaveUpAlone) {
  if (whole.end == Matcher::ScanEnd::MatchError && !(fast == whole)) {
    ++wholeGaveUpAlone;
    ASSERT_GE(fast.spans.size(), whole.spans.size()) << shown;
    ASSERT_TRUE(std::equal(whole.spans.begin(), whole.spans.end(), fast.spans.begin())) << shown;
    return;
  }
  ASSERT_EQ(fast, whole) << shown;
}

// The scans search only where the expression's facts say a match can be.
// Each must find what a scan of the whole text finds: the same expression
// made opaque to the analysis by an empty quote, which Boost ignores. Boost's
// give-up point grows with the expression's length, so the other gets an
// empty comment of the same length.
const char16_t kKnownNothing[] = u"(?#)";
const char16_t kOpaqueNothing[] = u"\\Q\\E";
static_assert(std::size(kKnownNothing) == std::size(kOpaqueNothing));
TEST(Matcher, ScansOfCandidateStretchesFindWhatWholeTextScansFind) {
  std::mt19937 random(std::getenv("SEED") ? std::atoi(std::getenv("SEED")) : 20261208);
  ExpressionGenerator generator(random);
  int withFacts = 0, compared = 0, wholeGaveUpAlone = 0;
  for (int round = 0; round < 1500; ++round) {
    std::u16string pattern = generator.Expression();
    if (random() % 4 == 0) pattern = u"(?i)" + pattern;
    const bool caseSensitive = random() % 3 != 0;
    const Matcher fast(pattern + kKnownNothing, caseSensitive);
    const Matcher whole(pattern + kOpaqueNothing, caseSensitive);
    if (!fast.ExpressionCompiled()) continue;
    ASSERT_TRUE(whole.ExpressionCompiled());
    ASSERT_EQ(whole.Facts(), nullptr);
    if (fast.Facts() != nullptr) ++withFacts;
    const std::string shown(pattern.begin(), pattern.end());
    for (int t = 0; t < 8; ++t) {
      const bool asciiOnly = t % 2 == 0;
      const std::u16string text = RandomText(random, asciiOnly);
      const std::string shownText(text.begin(), text.end());
      ++compared;
      const std::string where = shown + " in " + shownText;
      ExpectSameScan(ScanText(fast, text), ScanText(whole, text), where, wholeGaveUpAlone);
      if (asciiOnly && fast.CanScanAsciiBytes()) {
        ASSERT_TRUE(whole.CanScanAsciiBytes());
        ExpectSameScan(ScanBytes(fast, text), ScanBytes(whole, text), where, wholeGaveUpAlone);
      }
    }
  }
  // The comparison means something only if many expressions had facts.
  EXPECT_GT(withFacts, 300);
  EXPECT_GT(compared, 5000);
  EXPECT_LT(wholeGaveUpAlone, compared / 100);
}

}  // namespace
}  // namespace trawlscope
