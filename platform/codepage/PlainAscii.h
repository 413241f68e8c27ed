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
// is printable ASCII or one of the layout controls BS, TAB, LF, VT, FF, CR,
// SO and SI, and the sample does not hold both "~{" and "~}", HZ's shifts
// into GB2312. When the rest of the file holds no byte from 0x80 up either,
// IsBinaryContent is false and DetectCodePage gives UTF-8 for it.
inline bool IsPlainAsciiSample(std::string_view sample) {
  const auto* data = reinterpret_cast<const unsigned char*>(sample.data());
  size_t i = 0;
#if defined(__SSE2__)
  // Printable bytes, from 0x20 to 0x7E: DEL (0x7F) is out, and so are bytes
  // from 0x80 up, negative as signed bytes. The controls are 0x08 to 0x0F.
  const __m128i lastControl = _mm_set1_epi8(0x1F);
  const __m128i del = _mm_set1_epi8(0x7F);
  const auto plain = [&](size_t at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    const __m128i printable = _mm_and_si128(_mm_cmpgt_epi8(v, lastControl), _mm_cmpgt_epi8(del, v));
    const __m128i layout = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xF8))), _mm_set1_epi8(0x08));
    return _mm_or_si128(printable, layout);
  };
  // Four blocks a round and one test: source text passes nearly always.
  for (; i + 64 <= sample.size(); i += 64) {
    const __m128i all = _mm_and_si128(_mm_and_si128(plain(i), plain(i + 16)), _mm_and_si128(plain(i + 32), plain(i + 48)));
    if (_mm_movemask_epi8(all) != 0xFFFF) return false;
  }
  for (; i + 16 <= sample.size(); i += 16)
    if (_mm_movemask_epi8(plain(i)) != 0xFFFF) return false;
#endif
  for (; i < sample.size(); ++i) {
    const unsigned char b = data[i];
    if (!((b >= 0x20 && b <= 0x7E) || (b >= 0x08 && b <= 0x0F))) return false;
  }
  return sample.find("~{") == std::string_view::npos || sample.find("~}") == std::string_view::npos;
}

}  // namespace trawlscope
