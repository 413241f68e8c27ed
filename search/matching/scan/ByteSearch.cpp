#include "search/matching/scan/ByteSearch.h"

#include "platform/codepage/ByteScan.h"

#include <algorithm>
#include <cstring>
#include <utility>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {
namespace {

bool IsAsciiLetter(char c) { return (c | 0x20) >= 'a' && (c | 0x20) <= 'z'; }

// Bytes of English text and source code, the most frequent first; any byte
// not listed (controls, bytes from 0x80 up) counts as rarer than all of them.
constexpr std::string_view kByFrequency =
    " e\ntaoinsrlcdhu_pm()f;,g.=*x-b0y1>\"/vw#k2<{}E\tTSARINOCLDPMU:&F38B4+|z56[]7q9\\HGVjWXKY'!%?@~^`JQZ$";

size_t Commonness(char c) {
  // A needle holds NUL only as a UTF-16 or UTF-32 text, whose ASCII letters
  // each come with one: there it is the commonest byte of all.
  if (c == '\0') return kByFrequency.size() + 1;
  const size_t rank = kByFrequency.find(c);
  return rank == std::string_view::npos ? 0 : kByFrequency.size() - rank;
}

// A caseless letter is found in either case: as common as its commoner form.
size_t CommonnessOf(char c, bool caseless) {
  if (!caseless || !IsAsciiLetter(c)) return Commonness(c);
  return std::max(Commonness(static_cast<char>(c | 0x20)), Commonness(static_cast<char>(c & ~0x20)));
}

}  // namespace

// Candidates are positions where the needle's first and last bytes both sit:
// sixteen positions are tested at once, and only the few survivors compared
// whole.
ByteFinder::ByteFinder(std::string needle, bool asciiCaseless)
    : needle_(std::move(needle)), caseless_(asciiCaseless) {
  if (needle_.size() == 1 && !caseless_) oneByte_ = static_cast<unsigned char>(needle_[0]);
  if (needle_.size() < 2) return;
  // Short needles keep their ends, so that both probes cover the whole needle.
  secondProbe_ = needle_.size() - 1;
  if (needle_.size() == 2) return;
  const auto commonness = [&](size_t k) { return CommonnessOf(needle_[k], caseless_); };
  for (size_t k = 0; k < needle_.size(); ++k)
    if (commonness(k) < commonness(firstProbe_)) firstProbe_ = k;
  secondProbe_ = firstProbe_ == 0 ? 1 : 0;
  for (size_t k = 0; k < needle_.size(); ++k)
    if (k != firstProbe_ && commonness(k) < commonness(secondProbe_)) secondProbe_ = k;
}

probe_rounds::Needle ByteFinder::AsProbed() const {
  return {needle_.data(), needle_.size(), firstProbe_, secondProbe_, caseless_};
}

bool ByteFinder::MatchesAt(const char* at) const { return probe_rounds::MatchesAt(AsProbed(), at); }

size_t ByteFinder::FindInBlocks(std::string_view haystack, size_t from) const {
  constexpr size_t kNone = std::string_view::npos;
  const size_t n = needle_.size();
  if (n == 0) return from <= haystack.size() ? from : kNone;
  if (haystack.size() < n) return kNone;
  const char* const s = haystack.data();
  const size_t lastStart = haystack.size() - n;  // the last position a match may start at
  size_t i = from;
#if defined(__SSE2__)
  // A candidate's two probe bytes already match: for short needles that is
  // the whole comparison.
  const bool probesAreAll = n <= 2;
  const probe_rounds::ProbeByte firstByte = probe_rounds::ProbeByteOf(AsProbed(), firstProbe_);
  const probe_rounds::ProbeByte secondByte = probe_rounds::ProbeByteOf(AsProbed(), secondProbe_);
  const __m128i first = _mm_set1_epi8(firstByte.wanted), firstFold = _mm_set1_epi8(firstByte.fold);
  const __m128i second = _mm_set1_epi8(secondByte.wanted), secondFold = _mm_set1_epi8(secondByte.fold);
  const auto candidates = [&](size_t at) {
    const __m128i blockFirst = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + firstProbe_));
    const __m128i blockSecond = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + at + secondProbe_));
    return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi8(_mm_or_si128(blockFirst, firstFold), first),
                                                                 _mm_cmpeq_epi8(_mm_or_si128(blockSecond, secondFold), second))));
  };
  const auto verify = [&](size_t at, unsigned mask) {
    for (; mask != 0; mask &= mask - 1) {
      const size_t candidate = at + static_cast<unsigned>(__builtin_ctz(mask));
      if (probesAreAll || MatchesAt(s + candidate)) return candidate;
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

ByteFinder::InAscii ByteFinder::LookInAscii(std::string_view haystack) const {
  const size_t n = needle_.size();
  if (n < 2) {
    if (HasHighBytes(haystack)) return InAscii::HighByte;
    return FoundIn(haystack) ? InAscii::Found : InAscii::NotFound;
  }
  using probe_rounds::Stop;
  const probe_rounds::Needle needle = AsProbed();
  static const bool wide = ProcessorHasAvx2();
  const probe_rounds::Outcome rounds = wide ? probe_rounds::InBlocksOf32(needle, haystack.data(), haystack.size())
                                            : probe_rounds::InBlocksOf16(needle, haystack.data(), haystack.size());
  if (rounds.stop == Stop::HighByte) return InAscii::HighByte;
  // The rounds looked for high bytes only where the first probe's blocks lay.
  const size_t coveredEnd = std::min(rounds.end + firstProbe_, haystack.size());
  const size_t coveredStart = std::min(firstProbe_, coveredEnd);
  if (HasHighBytes(haystack.substr(0, coveredStart)) || HasHighBytes(haystack.substr(coveredEnd)))
    return InAscii::HighByte;
  if (rounds.stop == Stop::Found) return InAscii::Found;
  return Find(haystack, rounds.end) != std::string_view::npos ? InAscii::Found : InAscii::NotFound;
}

}  // namespace trawlscope
