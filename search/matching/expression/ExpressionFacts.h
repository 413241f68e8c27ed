#pragma once
// What the text of an expression says about every match it can have, read
// by a small parser that gives up on anything it does not fully understand.
// Each fact is an over-approximation: a set here holds at least every
// character the expression can take there, so a text that lacks what a fact
// requires certainly holds no match.
#include <bitset>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace trawlscope {

// A set of characters: ASCII ones one by one, the rest all at once.
struct CharacterSet {
  std::bitset<128> ascii;
  bool nonAscii = false;

  bool Has(char32_t c) const { return c < 128 ? ascii.test(c) : nonAscii; }
  CharacterSet& operator|=(const CharacterSet& other) {
    ascii |= other.ascii;
    nonAscii = nonAscii || other.nonAscii;
    return *this;
  }
  static CharacterSet All();
};

struct ExpressionFacts {
  // Every match contains at least one of these non-empty strings, without
  // surrogates; when `caseless`, they are folded and compare with the text's
  // code units folded (CaseFolding), as the Unicode engine compares.
  std::vector<std::u16string> requiredLiterals;
  bool caseless = false;
  // Every character any part of the expression can consume, look-arounds
  // included: a match and everything its assertions read lie within one run
  // of these characters and the one character after it.
  CharacterSet consumable;
  // The characters a match can start with, and can have second; the second
  // is not checked when `matchMayBeOneCharacter`.
  CharacterSet first;
  CharacterSet second;
  bool matchMayBeOneCharacter = true;
};

// Nothing when the expression uses anything the parser does not know, or
// when no literal is required of its matches. `caseSensitive` is the run's
// option; "(?i)" in the text is seen too.
std::optional<ExpressionFacts> AnalyzeExpression(std::u16string_view pattern, bool caseSensitive);

}  // namespace trawlscope
