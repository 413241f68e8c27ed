#include "search/matching/LineCounter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {
namespace {

template <typename Unit>
bool IsBreak(Unit c) {
  return c == Unit('\r') || c == Unit('\n');
}

#if defined(__SSE2__)
constexpr size_t kUnitsPerBlock = 16;

// One bit per unit of the sixteen at `at`, set where the unit is CR or LF.
// Wide units are narrowed with saturation first: only CR and LF themselves
// come out as their bytes, and one compare covers sixteen units.
template <typename Unit>
unsigned BreakBits(const Unit* at) {
  __m128i block;
  if constexpr (sizeof(Unit) == 1) {
    block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  } else {
    block = _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 8)));
  }
  return static_cast<unsigned>(_mm_movemask_epi8(
      _mm_or_si128(_mm_cmpeq_epi8(block, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(block, _mm_set1_epi8('\r')))));
}
#endif

}  // namespace

template <typename Unit>
std::int64_t LineCounter<Unit>::LineOf(size_t position) {
  // A line begins after the last unit of each run of breaks: the units
  // that are breaks followed by no break (or by the text's end) are counted.
  size_t j = counted_;
#if defined(__SSE2__)
  // Few bits are set in a block, fewer than a call to a population count costs
  // on processors the build cannot assume to have the instruction. Each
  // block needs the unit after it, which must be in the text.
  for (; j + kUnitsPerBlock <= position && j + kUnitsPerBlock < text_.size(); j += kUnitsPerBlock) {
    const unsigned breaks = BreakBits(text_.data() + j);
    if (breaks == 0) continue;
    const unsigned next = breaks >> 1 | (IsBreak(text_[j + kUnitsPerBlock]) ? 1u << (kUnitsPerBlock - 1) : 0u);
    for (unsigned ends = breaks & ~next; ends != 0; ends &= ends - 1) ++line_;
  }
#endif
  for (; j < position; ++j)
    if (IsBreak(text_[j]) && (j + 1 == text_.size() || !IsBreak(text_[j + 1]))) ++line_;
  counted_ = j;
  return line_;
}

template class LineCounter<char>;
template class LineCounter<char16_t>;

}  // namespace trawlscope
