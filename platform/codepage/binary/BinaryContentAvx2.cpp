// Built with -mavx2 and run only where the processor has it. It calls no
// inline function of a header but the intrinsics': the linker could keep
// this unit's AVX2 copy of one for every caller.
#include <immintrin.h>

#include "platform/codepage/binary/BinaryContent.h"

namespace trawlscope::binary_content {

ByteRounds InBlocksOf32(const unsigned char* data, size_t size) {
  // A byte is a stray control when the classes of its two halves share a
  // bit: 1 for 0x00-0x07, 2 for 0x10-0x19 and 0x1C-0x1F, 4 for 0x7F. Bytes
  // from 0x80 up have no class by their high half.
  const __m256i byHigh = _mm256_setr_epi8(1, 2, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0,
                                          1, 2, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0, 0, 0, 0, 0);
  const __m256i byLow = _mm256_setr_epi8(3, 3, 3, 3, 3, 3, 3, 3, 2, 2, 0, 0, 2, 2, 2, 6,
                                         3, 3, 3, 3, 3, 3, 3, 3, 2, 2, 0, 0, 2, 2, 2, 6);
  const __m256i nibble = _mm256_set1_epi8(0x0F);
  const __m256i zero = _mm256_setzero_si256();
  // Each plain byte subtracts -1 from its lane; lanes are summed before any can pass 255.
  constexpr size_t kBlocksPerSum = 255;
  size_t strays = 0, i = 0;
  while (i + 32 <= size) {
    __m256i plain = zero;
    __m256i nuls = zero;
    size_t block = 0;
    for (; block < kBlocksPerSum && i + 32 <= size; ++block, i += 32) {
      // UTF-16 and UTF-32 text, with a NUL in every few bytes, is left to
      // the other readings at once.
      if (block % 2 == 0 && !_mm256_testz_si256(nuls, nuls)) return {true, strays, i};
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(data + i));
      nuls = _mm256_or_si256(nuls, _mm256_cmpeq_epi8(v, zero));
      const __m256i high = _mm256_and_si256(_mm256_srli_epi16(v, 4), nibble);
      const __m256i low = _mm256_and_si256(v, nibble);
      const __m256i classes = _mm256_and_si256(_mm256_shuffle_epi8(byHigh, high), _mm256_shuffle_epi8(byLow, low));
      plain = _mm256_sub_epi8(plain, _mm256_cmpeq_epi8(classes, zero));
    }
    if (!_mm256_testz_si256(nuls, nuls)) return {true, strays, i};
    const __m256i sums = _mm256_sad_epu8(plain, zero);
    const size_t plainBytes = static_cast<size_t>(_mm256_extract_epi64(sums, 0)) +
                              static_cast<size_t>(_mm256_extract_epi64(sums, 1)) +
                              static_cast<size_t>(_mm256_extract_epi64(sums, 2)) +
                              static_cast<size_t>(_mm256_extract_epi64(sums, 3));
    strays += block * 32 - plainBytes;
  }
  return {false, strays, i};
}

}  // namespace trawlscope::binary_content
