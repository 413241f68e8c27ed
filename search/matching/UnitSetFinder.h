#pragma once
// Finds the next UTF-16 code unit that is one of a few given units: the
// units that fold to the first unit of a case-insensitive search text. Most
// of a text holds none of them, so it is passed over eight units at a time.
// Inline: a common letter turns up every few units, and each call is short.
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

  explicit UnitSetFinder(std::u16string_view units) {
    if (units.empty() || units.size() > kMaxUnits) {
      many_.assign(units);
      return;
    }
    for (size_t k = 0; k < kMaxUnits; ++k) units_[k] = units[std::min(k, units.size() - 1)];
#if defined(__SSE2__)
    for (size_t k = 0; k < kMaxUnits; ++k) wanted_[k] = _mm_set1_epi16(static_cast<short>(units_[k]));
#endif
  }

  // The first offset in [from, end) whose unit is in the set, or `end`.
  // `end` is at most text.size().
  size_t Find(std::u16string_view text, size_t from, size_t end) const {
    size_t i = from;
#if defined(__SSE2__)
    if (many_.empty()) {
      constexpr size_t kUnitsPerBlock = 8;
      for (; i + kUnitsPerBlock <= end; i += kUnitsPerBlock) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
        const __m128i any = _mm_or_si128(
            _mm_or_si128(_mm_cmpeq_epi16(block, wanted_[0]), _mm_cmpeq_epi16(block, wanted_[1])),
            _mm_or_si128(_mm_cmpeq_epi16(block, wanted_[2]), _mm_cmpeq_epi16(block, wanted_[3])));
        const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(any));
        if (mask != 0) return i + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(char16_t);
      }
    }
#endif
    for (; i < end; ++i)
      if (Holds(text[i])) return i;
    return end;
  }

 private:
  bool Holds(char16_t unit) const {
    if (!many_.empty()) return many_.find(unit) != std::u16string::npos;
    return std::find(units_.begin(), units_.end(), unit) != units_.end();
  }

  std::array<char16_t, kMaxUnits> units_{};  // repeats its last unit to fill
#if defined(__SSE2__)
  __m128i wanted_[kMaxUnits];
#endif
  std::u16string many_;  // the set when it is too large for units_, or empty
};

}  // namespace trawlscope
