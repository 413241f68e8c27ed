#pragma once
// Finds where a case-insensitive search text may start: a code unit that
// folds to the text's first unit, followed by one that folds to its second.
// Most of a text holds no such pair, so it is passed over eight units at a
// time. Inline: a common pair turns up every few dozen units.
#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {

class UnitSetFinder {
 public:
  // Sets of more than kMaxUnits units are looked for one unit at a time.
  static constexpr size_t kMaxUnits = 4;

  // `second` empty: the first unit alone is looked for.
  UnitSetFinder(std::u16string_view first, std::u16string_view second)
      : first_(first), second_(second) {}

  // The first offset in [from, end) whose unit is in the first set and, when
  // there is a second set, whose next unit is in it; or `end`. With a second
  // set, `end` is below text.size(), else at most text.size().
  size_t Find(std::u16string_view text, size_t from, size_t end) const {
    size_t i = from;
#if defined(__SSE2__)
    if (first_.IsSmall() && (second_.IsEmpty() || second_.IsSmall())) {
      constexpr size_t kUnitsPerBlock = 8;
      // Two blocks a round, with one branch for the common case of no candidate.
      for (; i + 2 * kUnitsPerBlock <= end; i += 2 * kUnitsPerBlock) {
        __m128i low = first_.Matches(text.data() + i);
        __m128i high = first_.Matches(text.data() + i + kUnitsPerBlock);
        if (_mm_movemask_epi8(_mm_or_si128(low, high)) == 0) continue;
        if (!second_.IsEmpty()) {
          low = _mm_and_si128(low, second_.Matches(text.data() + i + 1));
          high = _mm_and_si128(high, second_.Matches(text.data() + i + kUnitsPerBlock + 1));
        }
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(low)) |
                              static_cast<unsigned>(_mm_movemask_epi8(high)) << 16;
        if (mask != 0) return i + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(char16_t);
      }
      for (; i + kUnitsPerBlock <= end; i += kUnitsPerBlock) {
        __m128i any = first_.Matches(text.data() + i);
        if (!second_.IsEmpty() && _mm_movemask_epi8(any) != 0) any = _mm_and_si128(any, second_.Matches(text.data() + i + 1));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(any));
        if (mask != 0) return i + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(char16_t);
      }
    }
#endif
    for (; i < end; ++i)
      if (first_.Holds(text[i]) && (second_.IsEmpty() || second_.Holds(text[i + 1]))) return i;
    return end;
  }

 private:
  class UnitSet {
   public:
    explicit UnitSet(std::u16string_view units) : units_(units) {
      if (!IsSmall()) return;
      for (size_t k = 0; k < kMaxUnits; ++k) small_[k] = units[std::min(k, units.size() - 1)];
      // Most characters fold only to themselves: one compare then, not four.
      single_ = std::all_of(small_.begin(), small_.end(), [&](char16_t c) { return c == small_[0]; });
#if defined(__SSE2__)
      for (size_t k = 0; k < kMaxUnits; ++k) wanted_[k] = _mm_set1_epi16(static_cast<short>(small_[k]));
#endif
    }
    bool IsEmpty() const { return units_.empty(); }
    bool IsSmall() const { return !units_.empty() && units_.size() <= kMaxUnits; }
    bool Holds(char16_t unit) const {
      if (IsSmall()) return std::find(small_.begin(), small_.end(), unit) != small_.end();
      return units_.find(unit) != std::u16string::npos;
    }
#if defined(__SSE2__)
    // Lanes of the eight units at `at` that are in the set.
    __m128i Matches(const char16_t* at) const {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
      if (single_) return _mm_cmpeq_epi16(block, wanted_[0]);
      return _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi16(block, wanted_[0]), _mm_cmpeq_epi16(block, wanted_[1])),
          _mm_or_si128(_mm_cmpeq_epi16(block, wanted_[2]), _mm_cmpeq_epi16(block, wanted_[3])));
    }
#endif

   private:
    std::u16string units_;
    std::array<char16_t, kMaxUnits> small_{};  // repeats its last unit to fill
    bool single_ = false;                      // small_ holds one unit four times
#if defined(__SSE2__)
    __m128i wanted_[kMaxUnits];
#endif
  };

  UnitSet first_;
  UnitSet second_;
};

}  // namespace trawlscope
