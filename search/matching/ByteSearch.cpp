#include "search/matching/ByteSearch.h"

#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {
namespace {

bool IsAsciiLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

char AsciiLower(char c) { return IsAsciiLetter(c) ? static_cast<char>(c | 0x20) : c; }

#if defined(__SSE2__)
// Sixteen bytes compared with one needle byte; a letter in either case.
__m128i EqualTo(__m128i block, char wanted, bool caseless) {
  if (caseless && IsAsciiLetter(wanted))
    return _mm_cmpeq_epi8(_mm_or_si128(block, _mm_set1_epi8(0x20)), _mm_set1_epi8(wanted | 0x20));
  return _mm_cmpeq_epi8(block, _mm_set1_epi8(wanted));
}
#endif

}  // namespace

// Candidates are positions where the needle's first and last bytes both sit:
// sixteen positions are tested at once, and only the few survivors compared
// whole.
ByteFinder::ByteFinder(std::string needle, bool asciiCaseless)
    : needle_(std::move(needle)), caseless_(asciiCaseless) {}

bool ByteFinder::MatchesAt(const char* at) const {
  if (!caseless_) return std::memcmp(at, needle_.data(), needle_.size()) == 0;
  for (size_t k = 0; k < needle_.size(); ++k)
    if (AsciiLower(at[k]) != AsciiLower(needle_[k])) return false;
  return true;
}

size_t ByteFinder::Find(std::string_view haystack, size_t from) const {
  constexpr size_t kNone = std::string_view::npos;
  const size_t n = needle_.size();
  if (n == 0) return from <= haystack.size() ? from : kNone;
  if (haystack.size() < n) return kNone;
  const char* const s = haystack.data();
  const size_t lastStart = haystack.size() - n;  // the last position a match may start at
  size_t i = from;
#if defined(__SSE2__)
  // A candidate's first and last bytes already match: for short needles
  // that is the whole comparison.
  const bool firstAndLastAreAll = n <= 2;
  const auto candidates = [&](size_t at) {
    const __m128i blockFirst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at));
    const __m128i blockLast = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + n - 1));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(
        EqualTo(blockFirst, needle_.front(), caseless_), EqualTo(blockLast, needle_.back(), caseless_))));
  };
  const auto verify = [&](size_t at, unsigned mask) {
    for (; mask != 0; mask &= mask - 1) {
      const size_t candidate = at + static_cast<unsigned>(__builtin_ctz(mask));
      if (firstAndLastAreAll || MatchesAt(s + candidate)) return candidate;
    }
    return kNone;
  };
  // Four blocks a round, with one branch for the common case of no candidate.
  for (; i + 64 <= lastStart + 1; i += 64) {
    const unsigned m0 = candidates(i), m1 = candidates(i + 16), m2 = candidates(i + 32),
                   m3 = candidates(i + 48);
    if ((m0 | m1 | m2 | m3) == 0) continue;
    for (const auto& [at, mask] : {std::pair{i, m0}, {i + 16, m1}, {i + 32, m2}, {i + 48, m3}})
      if (const size_t found = verify(at, mask); found != kNone) return found;
  }
  for (; i + 16 <= lastStart + 1; i += 16)
    if (const size_t found = verify(i, candidates(i)); found != kNone) return found;
#endif
  for (; i <= lastStart; ++i)
    if (MatchesAt(s + i)) return i;
  return kNone;
}

}  // namespace trawlscope
