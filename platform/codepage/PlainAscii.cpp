#include "platform/codepage/PlainAscii.h"

#include "platform/codepage/ByteScan.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {
namespace plain_ascii {

Rounds InBlocksOf16(const unsigned char* data, size_t size) {
  size_t i = 0;
  bool tilde = false;
#if defined(__SSE2__)
  // Printable bytes, from 0x20 to 0x7E: DEL (0x7F) is out, and so are bytes
  // from 0x80 up, negative as signed bytes. The controls are 0x08 to 0x0F.
  const __m128i lastControl = _mm_set1_epi8(0x1F);
  const __m128i del = _mm_set1_epi8(0x7F);
  __m128i tildes = _mm_setzero_si128();
  const auto plain = [&](size_t at) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + at));
    tildes = _mm_or_si128(tildes, _mm_cmpeq_epi8(v, _mm_set1_epi8('~')));
    const __m128i printable = _mm_and_si128(_mm_cmpgt_epi8(v, lastControl), _mm_cmpgt_epi8(del, v));
    const __m128i layout = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xF8))), _mm_set1_epi8(0x08));
    return _mm_or_si128(printable, layout);
  };
  // Four blocks a round and one test: source text passes nearly always.
  for (; i + 64 <= size; i += 64) {
    const __m128i all = _mm_and_si128(_mm_and_si128(plain(i), plain(i + 16)), _mm_and_si128(plain(i + 32), plain(i + 48)));
    if (_mm_movemask_epi8(all) != 0xFFFF) return {false, false, i};
  }
  for (; i + 16 <= size; i += 16)
    if (_mm_movemask_epi8(plain(i)) != 0xFFFF) return {false, false, i};
  tilde = _mm_movemask_epi8(tildes) != 0;
#endif
  return {true, tilde, i};
}

bool IsPlainAsciiSampleBy(Rounds (*rounds)(const unsigned char*, size_t), std::string_view sample) {
  const auto* data = reinterpret_cast<const unsigned char*>(sample.data());
  const Rounds bulk = rounds(data, sample.size());
  if (!bulk.plain) return false;
  // What wide rounds leave, in narrow blocks as far as they go.
  const Rounds rest = InBlocksOf16(data + bulk.end, sample.size() - bulk.end);
  if (!rest.plain) return false;
  bool tilde = bulk.tilde || rest.tilde;
  for (size_t i = bulk.end + rest.end; i < sample.size(); ++i) {
    const unsigned char b = data[i];
    if (!((b >= 0x20 && b <= 0x7E) || (b >= 0x08 && b <= 0x0F))) return false;
    tilde = tilde || b == '~';
  }
  return !tilde || sample.find("~{") == std::string_view::npos || sample.find("~}") == std::string_view::npos;
}

#if !defined(TRAWLSCOPE_HAVE_AVX2_BUILD)
Rounds InBlocksOf32(const unsigned char* data, size_t size) { return InBlocksOf16(data, size); }
#endif

}  // namespace plain_ascii

bool IsPlainAsciiSample(std::string_view sample) {
  static const bool wide = ProcessorHasAvx2();
  return plain_ascii::IsPlainAsciiSampleBy(wide ? plain_ascii::InBlocksOf32 : plain_ascii::InBlocksOf16, sample);
}

}  // namespace trawlscope
