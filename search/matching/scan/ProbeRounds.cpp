#include "search/matching/scan/ProbeRounds.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope::probe_rounds {
namespace {

char AsciiLower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c | 0x20) : c; }

bool IsAsciiLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

}  // namespace

bool MatchesAt(const Needle& needle, const char* at) {
  if (!needle.asciiCaseless) return std::memcmp(at, needle.bytes, needle.size) == 0;
  for (size_t k = 0; k < needle.size; ++k)
    if (AsciiLower(at[k]) != AsciiLower(needle.bytes[k])) return false;
  return true;
}

ProbeByte ProbeByteOf(const Needle& needle, size_t k) {
  const char c = needle.bytes[k];
  // A caseless letter is compared with its case bit set on both sides.
  if (needle.asciiCaseless && IsAsciiLetter(c)) return {static_cast<char>(c | 0x20), 0x20};
  return {c, 0};
}

Outcome InBlocksOf16(const Needle& needle, const char* s, size_t size) {
  if (size < needle.size) return {Stop::Ran, 0};
  const size_t lastStart = size - needle.size;
  size_t i = 0;
#if defined(__SSE2__)
  const ProbeByte firstByte = ProbeByteOf(needle, needle.firstProbe);
  const ProbeByte secondByte = ProbeByteOf(needle, needle.secondProbe);
  const __m128i first = _mm_set1_epi8(firstByte.wanted), firstFold = _mm_set1_epi8(firstByte.fold);
  const __m128i second = _mm_set1_epi8(secondByte.wanted), secondFold = _mm_set1_epi8(secondByte.fold);
  const auto load = [&](size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at)); };
  // Spelled out four blocks a round: -O2 keeps arrays of vectors on the stack.
  const auto candidates = [&](__m128i firsts, size_t at) {
    const __m128i seconds = load(at + needle.secondProbe);
    return _mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(firsts, firstFold), first),
                         _mm_cmpeq_epi8(_mm_or_si128(seconds, secondFold), second));
  };
  for (; i + 64 <= lastStart + 1; i += 64) {
    const __m128i f0 = load(i + needle.firstProbe), f1 = load(i + needle.firstProbe + 16),
                  f2 = load(i + needle.firstProbe + 32), f3 = load(i + needle.firstProbe + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(f0, f1), _mm_or_si128(f2, f3))) != 0) return {Stop::HighByte, i};
    const __m128i m0 = candidates(f0, i), m1 = candidates(f1, i + 16), m2 = candidates(f2, i + 32),
                  m3 = candidates(f3, i + 48);
    if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(m0, m1), _mm_or_si128(m2, m3))) == 0) continue;
    const unsigned masks[4] = {static_cast<unsigned>(_mm_movemask_epi8(m0)), static_cast<unsigned>(_mm_movemask_epi8(m1)),
                               static_cast<unsigned>(_mm_movemask_epi8(m2)), static_cast<unsigned>(_mm_movemask_epi8(m3))};
    for (size_t k = 0; k < 4; ++k)
      for (unsigned mask = masks[k]; mask != 0; mask &= mask - 1)
        if (needle.size == 2 || MatchesAt(needle, s + i + 16 * k + static_cast<unsigned>(__builtin_ctz(mask))))
          return {Stop::Found, i + 64};
  }
#endif
  return {Stop::Ran, i};
}

#if !defined(TRAWLSCOPE_HAVE_AVX2_BUILD)
Outcome InBlocksOf32(const Needle& needle, const char* s, size_t size) { return InBlocksOf16(needle, s, size); }
#endif

}  // namespace trawlscope::probe_rounds
