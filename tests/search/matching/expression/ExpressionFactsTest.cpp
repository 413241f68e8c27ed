#include "search/matching/expression/ExpressionFacts.h"

#include <gtest/gtest.h>

namespace trawlscope {
namespace {

using Literals = std::vector<std::u16string>;

Literals RequiredOf(const std::u16string& pattern, bool caseSensitive = true) {
  const auto facts = AnalyzeExpression(pattern, caseSensitive);
  return facts ? facts->requiredLiterals : Literals{u"<none>"};
}

TEST(ExpressionFacts, LiteralsEveryMatchMustContain) {
  const std::pair<const char16_t*, Literals> cases[] = {
      {u"[A-Z][a-z]+_[a-z]+", {u"_"}},
      {u"\\bstatic\\s+int\\b", {u"static"}},
      {u"todo|fixme", {u"fixme", u"todo"}},
      {u"a+b", {u"ab"}},                   // "aab" holds "ab"
      {u"(?:ab|cd)ef", {u"abef", u"cdef"}},
      {u"x[yz]w", {u"xyw", u"xzw"}},
      {u"colou?r", {u"color", u"colour"}},
      {u"(\\w+)=\\1;", {u"="}},
      {u"(?<=foo)bar(?!baz)", {u"bar"}},  // look-arounds are outside the match
      {u"a(?#comment)b", {u"ab"}},
      {u"[\\]x]y", {u"]y", u"xy"}},
      {u"関数|変数", {u"変数", u"関数"}},
      {u"\\d+年", {u"年"}},
  };
  for (const auto& [pattern, literals] : cases)
    EXPECT_EQ(RequiredOf(pattern), literals) << literals.front().size();
}

TEST(ExpressionFacts, CaseInsensitiveLiteralsAreLowerCaseAndMarked) {
  EXPECT_EQ(RequiredOf(u"(?i)TODO|FixMe"), (Literals{u"fixme", u"todo"}));
  EXPECT_EQ(RequiredOf(u"ÄRGER", false), (Literals{u"ärger"}));
  // LATIN SMALL LETTER LONG S folds like "s": either may start a match.
  const auto longS = AnalyzeExpression(u"\u017Fx", false);
  ASSERT_TRUE(longS);
  EXPECT_TRUE(longS->first.Has('S') && longS->first.Has('s') && longS->first.Has(0x17F));
  EXPECT_TRUE(AnalyzeExpression(u"Ab(?i:c)", true)->caseless);
  EXPECT_FALSE(AnalyzeExpression(u"Abc", true)->caseless);
  const auto facts = AnalyzeExpression(u"k", false);
  ASSERT_TRUE(facts);
  EXPECT_TRUE(facts->first.Has('K'));
  EXPECT_TRUE(facts->first.Has(0x212A));  // KELVIN SIGN folds to "k" in the Unicode engine
}

TEST(ExpressionFacts, NothingForWhatTheParserDoesNotKnowOrNoLiteral) {
  for (const char16_t* pattern :
       {u"\\p{L}x", u"a\\Qb\\E", u"(?x) a b", u"[à-é]", u"\\Aab", u"😀", u"ab\\z", u"x*", u"\\w+",
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
