#include "search/matching/ExpressionFacts.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

using Literals = std::vector<std::string>;

Literals RequiredOf(const std::u16string& pattern, bool caseSensitive = true) {
  const auto facts = AnalyzeExpression(pattern, caseSensitive);
  return facts ? facts->requiredLiterals : Literals{"<none>"};
}

TEST(ExpressionFacts, LiteralsEveryMatchMustContain) {
  const std::pair<const char16_t*, Literals> cases[] = {
      {u"[A-Z][a-z]+_[a-z]+", {"_"}},
      {u"\\bstatic\\s+int\\b", {"static"}},
      {u"todo|fixme", {"fixme", "todo"}},
      {u"a+b", {"ab"}},                   // "aab" holds "ab"
      {u"(?:ab|cd)ef", {"abef", "cdef"}},
      {u"x[yz]w", {"xyw", "xzw"}},
      {u"colou?r", {"color", "colour"}},
      {u"(\\w+)=\\1;", {"="}},
      {u"(?<=foo)bar(?!baz)", {"bar"}},  // look-arounds are outside the match
      {u"a(?#comment)b", {"ab"}},
      {u"[\\]x]y", {"]y", "xy"}},
  };
  for (const auto& [pattern, literals] : cases)
    EXPECT_EQ(RequiredOf(pattern), literals) << std::string(pattern, pattern + std::char_traits<char16_t>::length(pattern));
}

TEST(ExpressionFacts, CaseInsensitiveLiteralsAreLowerCaseAndMarked) {
  EXPECT_EQ(RequiredOf(u"(?i)TODO|FixMe"), (Literals{"fixme", "todo"}));
  EXPECT_TRUE(AnalyzeExpression(u"Ab(?i:c)", true)->caseless);
  EXPECT_FALSE(AnalyzeExpression(u"Abc", true)->caseless);
  const auto facts = AnalyzeExpression(u"k", false);
  ASSERT_TRUE(facts);
  EXPECT_TRUE(facts->first.Has('K'));
  EXPECT_TRUE(facts->first.Has(0x212A));  // KELVIN SIGN folds to "k" in the Unicode engine
}

TEST(ExpressionFacts, NothingForWhatTheParserDoesNotKnowOrNoLiteral) {
  for (const char16_t* pattern :
       {u"\\p{L}x", u"a\\Qb\\E", u"(?x) a b", u"\u00e9t\u00e9", u"\\Aab", u"ab\\z", u"x*", u"\\w+",
        u"a|\\d", u"(?P<n>ab)", u"\\<ab", u"ab)", u"", u"[[:alpha:]]"})
    EXPECT_FALSE(AnalyzeExpression(pattern, true).has_value())
        << std::string(pattern, pattern + std::char_traits<char16_t>::length(pattern));
}

TEST(ExpressionFacts, FirstTwoCharactersAndWhatAMatchCanConsume) {
  const auto facts = AnalyzeExpression(u"[A-Z][a-z]+_[a-z]+", true);
  ASSERT_TRUE(facts);
  EXPECT_TRUE(facts->first.Has('Q'));
  EXPECT_FALSE(facts->first.Has('q'));
  EXPECT_TRUE(facts->second.Has('q'));
  EXPECT_FALSE(facts->second.Has('_'));
  EXPECT_FALSE(facts->matchMayBeOneCharacter);
  EXPECT_TRUE(facts->consumable.Has('_'));
  EXPECT_FALSE(facts->consumable.Has(' '));
  EXPECT_FALSE(facts->consumable.Has(0xE9));
  // What a look-ahead reads is consumed too, though not part of the match.
  EXPECT_TRUE(AnalyzeExpression(u"ab(?=\\s)", true)->consumable.Has('\n'));
  // Optional and empty parts let later ones come first.
  const auto optional = AnalyzeExpression(u"^x?\\b(?:y|)z", true);
  ASSERT_TRUE(optional);
  EXPECT_TRUE(optional->first.Has('x') && optional->first.Has('y') && optional->first.Has('z'));
  EXPECT_TRUE(optional->second.Has('z'));
  EXPECT_TRUE(optional->matchMayBeOneCharacter);
}

}  // namespace
}  // namespace trawlscope
