#pragma once
// The stretches of a text where an expression's matches can be, found from
// its facts with plain scans, so that the expression library visits only
// those. Most of a source tree's text holds no required literal in a
// place a match could start from, and is never handed to the library.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "search/matching/expression/ExpressionFacts.h"

namespace trawlscope {

// Unit: char for ASCII text given as bytes, char16_t for UTF-16 text (which
// must be well formed: no lone surrogates).
template <typename Unit>
class CandidateWindows {
 public:
  CandidateWindows(const ExpressionFacts& facts, std::basic_string_view<Unit> text);
  ~CandidateWindows();

  // The stretch [start, end) to search for the first match starting at or
  // after `from`: none starts in [from, start), and a match starting in the
  // stretch lies in it together with every character its assertions read.
  // False when no match starts at or after `from`.
  bool Next(size_t from, size_t& start, size_t& end);

  // How many units the runs' measuring has read so far: at most a few times
  // the text's length, however many windows there are.
  size_t UnitsMeasured() const { return unitsMeasured_; }

 private:
  class LiteralFinder;

  size_t NextLiteral(size_t from);
  bool Consumable(size_t at) const;
  bool MayStartAt(size_t at) const;
  unsigned char Traits(Unit unit) const;

  enum : unsigned char { kFirst = 1, kSecond = 2, kConsumable = 4 };

  const ExpressionFacts& facts_;
  // Per ASCII character, and for all others at once: which of the facts'
  // sets hold it. One load per unit in the scans.
  unsigned char asciiTraits_[128] = {};
  unsigned char nonAsciiTraits_ = 0;
  std::basic_string_view<Unit> text_;
  std::vector<std::unique_ptr<LiteralFinder>> finders_;
  std::vector<size_t> nextOccurrence_;  // per finder: the last occurrence found
  // The run of consumable units last measured: [runMeasuredFrom_, runEnd_)
  // is consumable and runEnd_ is not (or is the text's end).
  size_t runMeasuredFrom_ = 0;
  size_t runEnd_ = 0;
  size_t unitsMeasured_ = 0;
};

extern template class CandidateWindows<char>;
extern template class CandidateWindows<char16_t>;

// True when every surrogate in `text` is half of a pair.
bool IsWellFormedUtf16(std::u16string_view text);

}  // namespace trawlscope
