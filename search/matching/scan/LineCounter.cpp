#include "search/matching/scan/LineCounter.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {
namespace {

// A CR ends a line unless an LF follows it, which then ends it instead:
// whether a unit ends a line depends on the unit after it alone.
template <typename Unit>
bool EndsLine(Unit c, Unit next) {
  return c == Unit('\n') || (c == Unit('\r') && next != Unit('\n'));
}

#if defined(__SSE2__)
constexpr size_t kUnitsPerBlock = 16;

// The sixteen units at `at` as bytes. Wide units are narrowed with
// saturation: only CR and LF themselves come out as their bytes, and one
// compare covers sixteen units.
template <typename Unit>
__m128i BlockAt(const Unit* at) {
  if constexpr (sizeof(Unit) == 1) return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
  return _mm_packus_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(at)),
                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 8)));
}

unsigned BitsOf(__m128i compared) { return static_cast<unsigned>(_mm_movemask_epi8(compared)); }
#endif

}  // namespace

template <typename Unit>
std::int64_t LineCounter<Unit>::LineOf(size_t position) {
  size_t j = counted_;
#if defined(__SSE2__)
  // Few bits are set in a block, fewer than a call to a population count costs
  // on processors the build cannot assume to have the instruction. Each
  // block needs the unit after it, which must be in the text.
  // Most blocks hold no break at all: one mask of both tells, and the two
  // are told apart only where it is set.
  const __m128i lineFeed = _mm_set1_epi8('\n');
  const __m128i carriageReturn = _mm_set1_epi8('\r');
  for (; j + kUnitsPerBlock <= position && j + kUnitsPerBlock < text_.size(); j += kUnitsPerBlock) {
    const __m128i block = BlockAt(text_.data() + j);
    const __m128i lineFeeds = _mm_cmpeq_epi8(block, lineFeed);
    const __m128i returns = _mm_cmpeq_epi8(block, carriageReturn);
    if (BitsOf(_mm_or_si128(lineFeeds, returns)) == 0) continue;
    const unsigned lineFeedBits = BitsOf(lineFeeds);
    const unsigned lineFeedNext =
        lineFeedBits >> 1 | (text_[j + kUnitsPerBlock] == Unit('\n') ? 1u << (kUnitsPerBlock - 1) : 0u);
    for (unsigned ends = lineFeedBits | (BitsOf(returns) & ~lineFeedNext); ends != 0; ends &= ends - 1) ++line_;
  }
#endif
  for (; j < position; ++j)
    if (EndsLine(text_[j], j + 1 == text_.size() ? Unit(0) : text_[j + 1])) ++line_;
  counted_ = j;
  return line_;
}

template class LineCounter<char>;
template class LineCounter<char16_t>;

}  // namespace trawlscope
