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
// One bit per byte of the block, set where the unit is CR or LF.
template <typename Unit>
unsigned BreakMask(const Unit* at) {
  const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  if constexpr (sizeof(Unit) == 1) {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi8(block, _mm_set1_epi8('\n')), _mm_cmpeq_epi8(block, _mm_set1_epi8('\r')))));
  } else {
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(
        _mm_cmpeq_epi16(block, _mm_set1_epi16('\n')), _mm_cmpeq_epi16(block, _mm_set1_epi16('\r')))));
  }
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
  // on processors the build cannot assume to have the instruction.
  std::int64_t runEndBits = 0;
  constexpr size_t kUnitsPerBlock = 16 / sizeof(Unit);
  // Each block is compared with itself one unit on, which must be in the text.
  for (; j + kUnitsPerBlock <= position && j + kUnitsPerBlock < text_.size(); j += kUnitsPerBlock) {
    const unsigned breaks = BreakMask(text_.data() + j);
    if (breaks == 0) continue;
    const unsigned next = BreakMask(text_.data() + j + 1);
    // A bit a byte: each unit that ends a run sets one bit for each of its bytes.
    for (unsigned ends = breaks & ~next; ends != 0; ends &= ends - 1) ++runEndBits;
  }
  line_ += runEndBits / static_cast<std::int64_t>(sizeof(Unit));
#endif
  for (; j < position; ++j)
    if (IsBreak(text_[j]) && (j + 1 == text_.size() || !IsBreak(text_[j + 1]))) ++line_;
  counted_ = j;
  return line_;
}

template class LineCounter<char>;
template class LineCounter<char16_t>;

}  // namespace trawlscope
