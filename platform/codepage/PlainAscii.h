#pragma once
// The common case of a source tree settled in one pass: a file whose sample
// is nothing but printable ASCII, tabs and line breaks is text, and UTF-8,
// whatever the binary check and the detector would go on to weigh.
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {

// True when every byte of the file's first kDetectionSampleBytes (`sample`)
// is printable ASCII, TAB, LF or CR and none is "~", which may open HZ's
// shifts into GB2312. When the rest of the file holds no byte from 0x80 up
// either, IsBinaryContent is false and DetectCodePage gives UTF-8 for it.
inline bool IsPlainAsciiSample(std::string_view sample) {
  const auto* data = reinterpret_cast<const unsigned char*>(sample.data());
  size_t i = 0;
#if defined(__SSE2__)
  // Printable bytes, from 0x20 to 0x7D: "~" (0x7E) and DEL (0x7F) are out,
  // and so are bytes from 0x80 up, negative as signed bytes.
  const __m128i lastControl = _mm_set1_epi8(0x1F);
  const __m128i lastPrintable = _mm_set1_epi8(0x7D);
  for (; i + 16 <= sample.size(); i += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    const __m128i printable = _mm_andnot_si128(_mm_cmpgt_epi8(v, lastPrintable), _mm_cmpgt_epi8(v, lastControl));
    const __m128i layout = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('\t')), _mm_cmpeq_epi8(v, _mm_set1_epi8('\n'))),
                                        _mm_cmpeq_epi8(v, _mm_set1_epi8('\r')));
    if (_mm_movemask_epi8(_mm_or_si128(printable, layout)) != 0xFFFF) return false;
  }
#endif
  for (; i < sample.size(); ++i) {
    const unsigned char b = data[i];
    if (!((b >= 0x20 && b <= 0x7D) || b == '\t' || b == '\n' || b == '\r')) return false;
  }
  return true;
}

}  // namespace trawlscope
