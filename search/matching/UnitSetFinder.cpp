#include "search/matching/UnitSetFinder.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {

UnitSetFinder::UnitSetFinder(std::u16string_view units) {
  if (units.size() > kMaxUnits) {
    many_ = units;
    return;
  }
  std::copy(units.begin(), units.end(), units_.begin());
  count_ = units.size();
}

bool UnitSetFinder::Holds(char16_t unit) const {
  if (!many_.empty()) return many_.find(unit) != std::u16string_view::npos;
  for (size_t k = 0; k < count_; ++k)
    if (units_[k] == unit) return true;
  return false;
}

size_t UnitSetFinder::Find(std::u16string_view text, size_t from, size_t end) const {
  size_t i = from;
#if defined(__SSE2__)
  if (many_.empty() && count_ > 0) {
    constexpr size_t kUnitsPerBlock = 8;
    __m128i wanted[kMaxUnits];
    for (size_t k = 0; k < kMaxUnits; ++k)
      wanted[k] = _mm_set1_epi16(static_cast<short>(units_[std::min(k, count_ - 1)]));
    for (; i + kUnitsPerBlock <= end; i += kUnitsPerBlock) {
      const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
      const __m128i any = _mm_or_si128(
          _mm_or_si128(_mm_cmpeq_epi16(block, wanted[0]), _mm_cmpeq_epi16(block, wanted[1])),
          _mm_or_si128(_mm_cmpeq_epi16(block, wanted[2]), _mm_cmpeq_epi16(block, wanted[3])));
      const unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(any));
      if (mask != 0) return i + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(char16_t);
    }
  }
#endif
  for (; i < end; ++i)
    if (Holds(text[i])) return i;
  return end;
}

}  // namespace trawlscope
