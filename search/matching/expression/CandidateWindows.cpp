#include "search/matching/expression/CandidateWindows.h"

#include <algorithm>
#include <type_traits>

#include "search/matching/scan/ByteSearch.h"
#include "search/matching/unicode/CaseFolding.h"

namespace trawlscope {
namespace {

constexpr size_t kNone = std::string_view::npos;
// An occurrence not looked for yet.
constexpr size_t kNotSought = kNone - 1;

bool IsLead(char16_t unit) { return (unit & 0xFC00u) == 0xD800u; }
bool IsTrail(char16_t unit) { return (unit & 0xFC00u) == 0xDC00u; }

char32_t CharOf(char unit) { return static_cast<unsigned char>(unit); }
char32_t CharOf(char16_t unit) { return unit; }

// ASCII text: a literal beyond ASCII is never in it.
class AsciiLiteralFinder {
 public:
  AsciiLiteralFinder(const std::u16string& literal, bool caseless)
      : finder_(std::string(literal.begin(), literal.end()), caseless),
        beyondAscii_(std::any_of(literal.begin(), literal.end(), [](char16_t c) { return c >= 128; })) {}
  size_t Find(std::string_view text, size_t from) const {
    return beyondAscii_ ? kNone : finder_.Find(text, from);
  }

 private:
  ByteFinder finder_;
  bool beyondAscii_;
};

// Caseless, a unit matches a letter of the literal when it folds like it,
// the comparison the Unicode engine makes.
class Utf16LiteralFinder {
 public:
  Utf16LiteralFinder(const std::u16string& literal, bool caseless) : literal_(literal), caseless_(caseless) {
    if (caseless_) literal_ = FoldCodeUnits(literal_);
  }

  size_t Find(std::u16string_view text, size_t from) const {
    if (!caseless_) return text.find(literal_, from);
    if (text.size() < literal_.size()) return kNone;
    const FoldTable& fold = CodeUnitFoldTable();
    const size_t last = text.size() - literal_.size();
    for (size_t at = from; at <= last; ++at) {
      size_t k = 0;
      while (k < literal_.size() && fold[text[at + k]] == literal_[k]) ++k;
      if (k == literal_.size()) return at;
    }
    return kNone;
  }

 private:
  std::u16string literal_;
  bool caseless_;
};

}  // namespace

template <typename Unit>
class CandidateWindows<Unit>::LiteralFinder
    : public std::conditional_t<std::is_same_v<Unit, char>, AsciiLiteralFinder, Utf16LiteralFinder> {
 public:
  using Base = std::conditional_t<std::is_same_v<Unit, char>, AsciiLiteralFinder, Utf16LiteralFinder>;
  using Base::Base;
};

template <typename Unit>
CandidateWindows<Unit>::CandidateWindows(const ExpressionFacts& facts,
                                         std::basic_string_view<Unit> text)
    : facts_(facts), text_(text) {
  for (const std::u16string& literal : facts.requiredLiterals)
    finders_.push_back(std::make_unique<LiteralFinder>(literal, facts.caseless));
  nextOccurrence_.assign(finders_.size(), kNotSought);
  const auto traitsOf = [&](char32_t c) {
    return static_cast<unsigned char>((facts.first.Has(c) ? kFirst : 0) |
                                      (facts.second.Has(c) || facts.matchMayBeOneCharacter ? kSecond : 0) |
                                      (facts.consumable.Has(c) ? kConsumable : 0));
  };
  for (char32_t c = 0; c < 128; ++c) asciiTraits_[c] = traitsOf(c);
  nonAsciiTraits_ = traitsOf(128);
}

template <typename Unit>
inline unsigned char CandidateWindows<Unit>::Traits(Unit unit) const {
  const char32_t c = CharOf(unit);
  return c < 128 ? asciiTraits_[c] : nonAsciiTraits_;
}

template <typename Unit>
CandidateWindows<Unit>::~CandidateWindows() = default;

template <typename Unit>
size_t CandidateWindows<Unit>::NextLiteral(size_t from) {
  size_t nearest = kNone;
  for (size_t i = 0; i < finders_.size(); ++i) {
    size_t& next = nextOccurrence_[i];
    if (next == kNotSought || (next != kNone && next < from)) next = finders_[i]->Find(text_, from);
    nearest = std::min(nearest, next);
  }
  return nearest;
}

template <typename Unit>
inline bool CandidateWindows<Unit>::Consumable(size_t at) const {
  return (Traits(text_[at]) & kConsumable) != 0;
}

template <typename Unit>
inline bool CandidateWindows<Unit>::MayStartAt(size_t at) const {
  if ((Traits(text_[at]) & kFirst) == 0) return false;
  size_t second = at + 1;
  if constexpr (sizeof(Unit) == 2) {
    if (IsTrail(text_[at]) && at > 0 && IsLead(text_[at - 1])) return false;
    if (IsLead(text_[at]) && second < text_.size()) ++second;  // well formed: a trail follows
  }
  return second >= text_.size() || (Traits(text_[second]) & kSecond) != 0;
}

// Every match contains a required literal, and lies in the run of consumable
// characters around it: candidates are the run's positions up to the
// literal that can start a match.
template <typename Unit>
bool CandidateWindows<Unit>::Next(size_t from, size_t& start, size_t& end) {
  for (size_t at = from;;) {
    const size_t literal = NextLiteral(at);
    if (literal == kNone) return false;
    // Back from the literal through the run, noting the earliest place a
    // match may start: one walk over the run's units, not two.
    size_t earliest = MayStartAt(literal) ? literal : kNone;
    size_t runStart = literal;
    for (; runStart > at && Consumable(runStart - 1); --runStart)
      if (MayStartAt(runStart - 1)) earliest = runStart - 1;
    unitsMeasured_ += literal - runStart;
    if (const size_t q = earliest; q != kNone) {
      // A literal inside the run last measured shares its end: measured
      // again for each match, one long line took time quadratic in its length.
      if (literal < runMeasuredFrom_ || literal >= runEnd_) {
        runEnd_ = literal;
        while (runEnd_ < text_.size() && Consumable(runEnd_)) ++runEnd_;
        unitsMeasured_ += runEnd_ - literal;
        runMeasuredFrom_ = literal;
      }
      const size_t runEnd = runEnd_;
      // The character after the run is read by "$", "\b" and look-aheads; a
      // pair of surrogates is not split.
      start = q;
      end = std::min(runEnd + 1, text_.size());
      if constexpr (sizeof(Unit) == 2) {
        if (end < text_.size() && IsLead(text_[end - 1]) && IsTrail(text_[end])) ++end;
      }
      return true;
    }
    at = literal + 1;
  }
}

template class CandidateWindows<char>;
template class CandidateWindows<char16_t>;

bool IsWellFormedUtf16(std::u16string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsLead(text[i])) {
      if (i + 1 == text.size() || !IsTrail(text[i + 1])) return false;
      ++i;
    } else if (IsTrail(text[i])) {
      return false;
    }
  }
  return true;
}

}  // namespace trawlscope
