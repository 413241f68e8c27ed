// Built with -mavx2 and run only where the processor has it. It calls no
// inline function of a header but the intrinsics': the linker could keep
// this unit's AVX2 copy of one for every caller.
#include "search/matching/scan/ProbeRounds.h"

#include <immintrin.h>

namespace trawlscope::probe_rounds {

Outcome InBlocksOf32(const Needle& needle, const char* s, size_t size) {
  if (size < needle.size) return {Stop::Ran, 0};
  const size_t lastStart = size - needle.size;
  const ProbeByte firstByte = ProbeByteOf(needle, needle.firstProbe);
  const ProbeByte secondByte = ProbeByteOf(needle, needle.secondProbe);
  const __m256i first = _mm256_set1_epi8(firstByte.wanted), firstFold = _mm256_set1_epi8(firstByte.fold);
  const __m256i second = _mm256_set1_epi8(secondByte.wanted), secondFold = _mm256_set1_epi8(secondByte.fold);
  const auto load = [&](size_t at) { return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + at)); };
  // Spelled out four blocks a round: -O2 keeps arrays of vectors on the stack.
  const auto candidates = [&](__m256i firsts, size_t at) {
    const __m256i seconds = load(at + needle.secondProbe);
    return _mm256_and_si256(_mm256_cmpeq_epi8(_mm256_or_si256(firsts, firstFold), first),
                            _mm256_cmpeq_epi8(_mm256_or_si256(seconds, secondFold), second));
  };
  size_t i = 0;
  for (; i + 128 <= lastStart + 1; i += 128) {
    const __m256i f0 = load(i + needle.firstProbe), f1 = load(i + needle.firstProbe + 32),
                  f2 = load(i + needle.firstProbe + 64), f3 = load(i + needle.firstProbe + 96);
    if (_mm256_movemask_epi8(_mm256_or_si256(_mm256_or_si256(f0, f1), _mm256_or_si256(f2, f3))) != 0)
      return {Stop::HighByte, i};
    const __m256i m0 = candidates(f0, i), m1 = candidates(f1, i + 32), m2 = candidates(f2, i + 64),
                  m3 = candidates(f3, i + 96);
    const __m256i any = _mm256_or_si256(_mm256_or_si256(m0, m1), _mm256_or_si256(m2, m3));
    if (_mm256_testz_si256(any, any)) continue;
    const unsigned masks[4] = {static_cast<unsigned>(_mm256_movemask_epi8(m0)),
                               static_cast<unsigned>(_mm256_movemask_epi8(m1)),
                               static_cast<unsigned>(_mm256_movemask_epi8(m2)),
                               static_cast<unsigned>(_mm256_movemask_epi8(m3))};
    for (size_t k = 0; k < 4; ++k)
      for (unsigned mask = masks[k]; mask != 0; mask &= mask - 1)
        if (needle.size == 2 || MatchesAt(needle, s + i + 32 * k + static_cast<unsigned>(__builtin_ctz(mask))))
          return {Stop::Found, i + 128};
  }
  return {Stop::Ran, i};
}

}  // namespace trawlscope::probe_rounds
