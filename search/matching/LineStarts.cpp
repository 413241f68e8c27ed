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

// Where the next CR or LF is, from `i`; text.size() when there is none. Most
// of a text is not line breaks: it is passed over sixteen bytes at a time.
size_t NextBreak(std::u16string_view text, size_t i) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi16(u'\r'), lf = _mm_set1_epi16(u'\n');
  for (; i + 8 <= text.size(); i += 8) {
    const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, cr), _mm_cmpeq_epi16(units, lf))) != 0) break;
  }
#endif
  while (i < text.size() && !IsBreak(text[i])) ++i;
  return i;
}

size_t NextBreak(std::string_view text, size_t i) {
#if defined(__SSE2__)
  const __m128i cr = _mm_set1_epi8('\r'), lf = _mm_set1_epi8('\n');
  for (; i + 16 <= text.size(); i += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + i));
    if (_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf))) != 0) break;
  }
#endif
  while (i < text.size() && !IsBreak(text[i])) ++i;
  return i;
}

template <typename Text>
void BuildFrom(const AbortFlag& abortRequested, Text text, LineStarts& lineStarts) {
  lineStarts.clear();
  for (size_t i = NextBreak(text, 0); i < text.size(); i = NextBreak(text, i)) {
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
