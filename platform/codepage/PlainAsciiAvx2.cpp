// Built with -mavx2 and run only where the processor has it. It calls no
// inline function of a header but the intrinsics': the linker could keep
// this unit's AVX2 copy of one for every caller.
#include <immintrin.h>

#include "platform/codepage/PlainAscii.h"

namespace trawlscope::plain_ascii {

Rounds InBlocksOf32(const unsigned char* data, size_t size) {
  // As in the narrow build: 0x20 to 0x7E, or a control from 0x08 to 0x0F.
  const __m256i lastControl = _mm256_set1_epi8(0x1F);
  const __m256i del = _mm256_set1_epi8(0x7F);
  const __m256i tildeByte = _mm256_set1_epi8('~');
  __m256i tildes = _mm256_setzero_si256();
  const auto plain = [&](size_t at) {
    const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + at));
    tildes = _mm256_or_si256(tildes, _mm256_cmpeq_epi8(v, tildeByte));
    const __m256i printable = _mm256_and_si256(_mm256_cmpgt_epi8(v, lastControl), _mm256_cmpgt_epi8(del, v));
    const __m256i layout =
        _mm256_cmpeq_epi8(_mm256_and_si256(v, _mm256_set1_epi8(char(0xF8))), _mm256_set1_epi8(0x08));
    return _mm256_or_si256(printable, layout);
  };
  size_t i = 0;
  for (; i + 128 <= size; i += 128) {
    const __m256i all = _mm256_and_si256(_mm256_and_si256(plain(i), plain(i + 32)),
                                         _mm256_and_si256(plain(i + 64), plain(i + 96)));
    if (_mm256_movemask_epi8(all) != -1) return {false, false, i};
  }
  return {true, !_mm256_testz_si256(tildes, tildes), i};
}

}  // namespace trawlscope::plain_ascii
