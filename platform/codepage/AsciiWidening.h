#pragma once
// Widening the runs of ASCII between a text's other characters, for the
// decoders that do without ICU: markup, spaces and line breaks.
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {

// Widens the bytes from `i` on up to the first one from 0x80 up (or `size`)
// into `out`, which it moves past them; returns where it stopped. The
// caller's output has room for a unit per byte of the input and `out` is
// no further along than `data + i`: a block is widened whole and only its
// ASCII head is kept, the rest written over by what comes next.
inline size_t WidenAsciiRun(const unsigned char* data, size_t i, size_t size, char16_t*& out) {
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  for (; i + 16 <= size; i += 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_unpacklo_epi8(block, zero));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 8), _mm_unpackhi_epi8(block, zero));
    const unsigned high = static_cast<unsigned>(_mm_movemask_epi8(block));
    if (high != 0) {
      const unsigned ascii = static_cast<unsigned>(__builtin_ctz(high));
      out += ascii;
      return i + ascii;
    }
    out += 16;
  }
#endif
  for (; i < size && data[i] < 0x80; ++i) *out++ = data[i];
  return i;
}

}  // namespace trawlscope
