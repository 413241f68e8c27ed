#include "search/matching/LineStarts.h"

#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {
namespace {

template <typename Unit>
bool IsBreak(Unit c) {
  return c == Unit('\r') || c == Unit('\n');
}

// The first CR or LF at or after `i`, or the text's size. Every file with a
// hit is walked whole, so the walk goes sixteen bytes at a time.
template <typename Unit>
size_t NextBreak(std::basic_string_view<Unit> text, size_t i) {
#if defined(__SSE2__)
  constexpr size_t kUnitsPerBlock = 16 / sizeof(Unit);
  const auto equal = [](__m128i block, Unit c) {
    if constexpr (sizeof(Unit) == 1) return _mm_cmpeq_epi8(block, _mm_set1_epi8(static_cast<char>(c)));
    else return _mm_cmpeq_epi16(block, _mm_set1_epi16(static_cast<short>(c)));
  };
  for (; i + kUnitsPerBlock <= text.size(); i += kUnitsPerBlock) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    const unsigned mask = static_cast<unsigned>(
        _mm_movemask_epi8(_mm_or_si128(equal(block, Unit('\n')), equal(block, Unit('\r')))));
    if (mask != 0) return i + static_cast<unsigned>(__builtin_ctz(mask)) / sizeof(Unit);
  }
#endif
  while (i < text.size() && !IsBreak(text[i])) ++i;
  return i;
}

template <typename Unit>
void BuildFrom(const AbortFlag& abortRequested, std::basic_string_view<Unit> text,
               LineStarts& lineStarts) {
  lineStarts.clear();
  size_t i = 0;
  while (i < text.size()) {
    i = NextBreak(text, i);
    if (i == text.size()) return;
    if (IsAborted(abortRequested)) return;
    while (i < text.size() && IsBreak(text[i])) ++i;
    lineStarts.push_back(static_cast<std::int64_t>(i));
  }
}

}  // namespace

void BuildLineStarts(const AbortFlag& abortRequested, std::u16string_view text,
                     LineStarts& lineStarts) {
  BuildFrom(abortRequested, text, lineStarts);
}

void BuildLineStarts(const AbortFlag& abortRequested, std::string_view asciiText,
                     LineStarts& lineStarts) {
  BuildFrom(abortRequested, asciiText, lineStarts);
}

std::int64_t LineOf(const LineStarts& lineStarts, std::int64_t position) {
  return static_cast<std::int64_t>(
             std::upper_bound(lineStarts.begin(), lineStarts.end(), position) -
             lineStarts.begin()) +
         1;
}

}  // namespace trawlscope
