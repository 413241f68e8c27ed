#include "platform/codepage/binary/BinaryContent.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/codepage/ByteScan.h"
#include "platform/codepage/detection/CodePageDetector.h"

namespace trawlscope {
namespace {

// Text has at most one stray control or broken sequence in this many units
// (the text files of a Debian system, one in five hundred); random bytes, as
// in compressed data, have one in ten or more.
constexpr size_t kNoiseDivisor = 20;

// Zero-filled blocks (preallocated files, logs whose last writes a crash lost)
// are padding, not content; the NULs inside binary records are short:
// terminators, alignment, the high bytes of small numbers. Runs at either
// edge of the sample are padding at any length: C strings written with their
// terminator, files padded to a block.
constexpr size_t kPaddingBytes = 64;

// Text is mostly in the Basic Multilingual Plane: even a line of emoji has
// spaces and letters between them. Tables of 32-bit offsets, read as UTF-32,
// lie above it throughout.
constexpr size_t kSupplementaryShareNumerator = 3;
constexpr size_t kSupplementaryShareDenominator = 4;

// Byte text read as UTF-16 pairs its ASCII bytes into units that look like
// CJK ideographs; real Chinese or Japanese has no more than about seven in
// ten such units, as its low bytes spread over the whole byte range.
constexpr size_t kAsciiPairShareNumerator = 9;
constexpr size_t kAsciiPairShareDenominator = 10;

// The C0 controls text holds: BS (overstrike in formatted manual pages), TAB,
// LF, VT, FF, CR, SO and SI (ISO-2022-KR's shifts), SUB (the old DOS end of
// file) and ESC (ISO-2022 escapes, terminal colours).
constexpr bool IsTextControl(uint32_t c) {
  return (c >= 0x08 && c <= 0x0F) || c == 0x1A || c == 0x1B;
}

// Characters text may hold. In a byte reading every byte from 0x80 up is a
// letter of some code page. In a wide one, private use and the C1 controls
// are rare in text but make up a tenth of the code points random bytes give,
// and planes 4 to 13 hold no characters at all (planes 15 and 16 are private).
template <size_t kUnitBytes>
bool IsTextUnit(uint32_t c) {
  if (c < 0x20) return IsTextControl(c);
  if constexpr (kUnitBytes == 1) {
    return c != 0x7F;
  } else {
    if (c >= 0x7F && c <= 0x9F) return false;
    if (c >= 0xD800 && c <= 0xF8FF) return false;  // lone surrogates and private use
    if ((c & 0xFFFE) == 0xFFFE) return false;      // noncharacters, and a mark read backwards
    return c < 0x40000 || (c >= 0xE0000 && c <= 0xEFFFF);
  }
}

bool IsHighSurrogate(uint32_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool IsLowSurrogate(uint32_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

// Both bytes of a UTF-16 unit are bytes of ASCII text, its layout, overstrike
// and escape controls included: likely two characters of byte text rather
// than one of UTF-16. The letters of Cyrillic, Arabic or Thai have a control
// outside this set as high byte.
bool IsAsciiPair(uint32_t unit) {
  const auto isAsciiText = [](uint32_t b) {
    return (b >= 0x20 && b < 0x7F) || (b >= 0x08 && b <= 0x0D) || b == 0x1B;
  };
  return isAsciiText(unit >> 8) && isAsciiText(unit & 0xFF);
}

template <size_t kUnitBytes, bool kBigEndian>
uint32_t UnitAt(const unsigned char* p) {
  uint32_t unit = 0;
  for (size_t k = 0; k < kUnitBytes; ++k)
    unit |= uint32_t{p[k]} << (8 * (kBigEndian ? kUnitBytes - 1 - k : k));
  return unit;
}

#if defined(__SSE2__)
// What runs of UTF-16 units hold when none is NUL or a surrogate, so that
// each is one character: strays and ASCII pairs as ReadsAsText counts them,
// a count in each of eight lanes, summed when the run ends.
struct WideRun {
  __m128i stray = _mm_setzero_si128();
  __m128i asciiPairs = _mm_setzero_si128();
};

// Lanes where low <= unit <= high, unsigned.
inline __m128i UnitsIn(__m128i units, uint16_t low, uint16_t high) {
  const __m128i offset = _mm_sub_epi16(units, _mm_set1_epi16(static_cast<short>(low)));
  return _mm_cmpeq_epi16(_mm_subs_epu16(offset, _mm_set1_epi16(static_cast<short>(high - low))),
                         _mm_setzero_si128());
}

inline __m128i BytesIn(__m128i bytes, uint8_t low, uint8_t high) {
  const __m128i offset = _mm_sub_epi8(bytes, _mm_set1_epi8(static_cast<char>(low)));
  return _mm_cmpeq_epi8(_mm_subs_epu8(offset, _mm_set1_epi8(static_cast<char>(high - low))),
                        _mm_setzero_si128());
}

// The sum of the eight 16-bit lanes.
inline size_t SumOfLanes(__m128i lanes) {
  __m128i sums = _mm_madd_epi16(lanes, _mm_set1_epi16(1));
  sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(1, 0, 3, 2)));
  sums = _mm_add_epi32(sums, _mm_shuffle_epi32(sums, _MM_SHUFFLE(2, 3, 0, 1)));
  return static_cast<size_t>(_mm_cvtsi128_si32(sums));
}

// Adds the eight units at `p` to the run; false, adding nothing, when they
// hold a NUL or a surrogate: the unit-by-unit walk takes those.
template <bool kBigEndian>
bool AddWideBlock(const unsigned char* p, WideRun& run) {
  __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const __m128i bytes = units;
  if constexpr (kBigEndian) units = _mm_or_si128(_mm_slli_epi16(units, 8), _mm_srli_epi16(units, 8));
  const __m128i zero = _mm_cmpeq_epi16(units, _mm_setzero_si128());
  if (_mm_movemask_epi8(_mm_or_si128(zero, UnitsIn(units, 0xD800, 0xDFFF))) != 0) return false;

  const __m128i textControl = _mm_or_si128(UnitsIn(units, 0x08, 0x0F), UnitsIn(units, 0x1A, 0x1B));
  const __m128i control = _mm_andnot_si128(textControl, UnitsIn(units, 0x00, 0x1F));
  const __m128i stray = _mm_or_si128(_mm_or_si128(control, UnitsIn(units, 0x7F, 0x9F)),
                                     _mm_or_si128(UnitsIn(units, 0xE000, 0xF8FF), UnitsIn(units, 0xFFFE, 0xFFFF)));
  // IsAsciiPair looks at both bytes alike, so the byte order does not matter.
  const __m128i asciiText = _mm_or_si128(_mm_or_si128(BytesIn(bytes, 0x20, 0x7E), BytesIn(bytes, 0x08, 0x0D)),
                                         _mm_cmpeq_epi8(bytes, _mm_set1_epi8(0x1B)));
  const __m128i pair = _mm_cmpeq_epi16(asciiText, _mm_set1_epi16(-1));
  // A set lane is -1.
  run.stray = _mm_sub_epi16(run.stray, stray);
  run.asciiPairs = _mm_sub_epi16(run.asciiPairs, pair);
  return true;
}
#endif

// Whether the sample reads as text in units of this width and byte order: one
// byte as in every ASCII-based code page, or UTF-16 or UTF-32, where a mark is
// just another character. A unit cut off at the sample's end is left out.
template <size_t kUnitBytes, bool kBigEndian = false>
bool ReadsAsText(std::string_view sample) {
  const auto* data = reinterpret_cast<const unsigned char*>(sample.data());
  const size_t count = sample.size() / kUnitBytes;
  const auto unitAt = [&](size_t i) { return UnitAt<kUnitBytes, kBigEndian>(data + i * kUnitBytes); };
  const size_t mostStray = count / kNoiseDivisor;
  size_t characters = 0, stray = 0, supplementary = 0, asciiPairs = 0;
  for (size_t i = 0; i < count;) {
#if defined(__SSE2__)
    // UTF-16 text is mostly runs of plain characters: eight at a time, with
    // the counts kept in lanes while the run lasts. A lane counts one a
    // block, and a sample has far fewer than 2^16 blocks.
    if constexpr (kUnitBytes == 2) {
      static_assert(kDetectionSampleBytes / 16 < 0x10000);
      constexpr size_t kBlocksBetweenChecks = 32;
      const size_t runStart = i;
      WideRun run;
      const auto addRun = [&] {
        stray += SumOfLanes(run.stray);
        asciiPairs += SumOfLanes(run.asciiPairs);
        run = WideRun();
      };
      while (i + 8 <= count && AddWideBlock<kBigEndian>(data + i * 2, run)) {
        i += 8;
        if ((i - runStart) % (8 * kBlocksBetweenChecks) == 0) {
          addRun();
          if (stray > mostStray) return false;
        }
      }
      if (i != runStart) {
        characters += i - runStart;
        addRun();
        if (stray > mostStray) return false;
        continue;
      }
    }
#endif
    uint32_t unit = unitAt(i);
    if (unit == 0) {
      size_t end = i + 1;
      while (end < count && unitAt(end) == 0) ++end;
      if (i != 0 && end != count && (end - i) * kUnitBytes < kPaddingBytes) return false;
      i = end;
      continue;
    }
    ++characters;
    ++i;
    if constexpr (kUnitBytes == 2) {
      if (IsHighSurrogate(unit) && i < count && IsLowSurrogate(unitAt(i))) {
        unit = 0x10000 + ((unit - 0xD800) << 10) + (unitAt(i) - 0xDC00);
        ++i;
      }
      asciiPairs += IsAsciiPair(unit);
    }
    if (!IsTextUnit<kUnitBytes>(unit)) {
      if (++stray > mostStray) return false;
    } else if (unit >= 0x10000) {
      ++supplementary;
    }
  }
  return characters != 0 && stray <= characters / kNoiseDivisor &&
         supplementary * kSupplementaryShareDenominator <= characters * kSupplementaryShareNumerator &&
         asciiPairs * kAsciiPairShareDenominator < characters * kAsciiPairShareNumerator;
}


}  // namespace

namespace binary_content {

ByteRounds InBlocksOf16(const unsigned char* data, size_t size) {
  size_t strays = 0, i = 0;
#if defined(__SSE2__)
  const __m128i zero = _mm_setzero_si128();
  // Each stray byte subtracts -1 from its lane; lanes are summed before any can pass 255.
  constexpr size_t kBlocksPerSum = 255;
  while (i + 16 <= size) {
    __m128i counts = zero;
    __m128i nuls = zero;
    for (size_t block = 0; block < kBlocksPerSum && i + 16 <= size; ++block, i += 16) {
      // UTF-16 and UTF-32 text, with a NUL in every few bytes, is left to
      // the other readings at once.
      if (block % 4 == 0 && _mm_movemask_epi8(nuls) != 0) return {true, strays, i};
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
      nuls = _mm_or_si128(nuls, _mm_cmpeq_epi8(v, zero));
      const __m128i control = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xE0))), zero);
      const __m128i layout = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xF8))), _mm_set1_epi8(0x08));
      const __m128i escape = _mm_cmpeq_epi8(_mm_and_si128(v, _mm_set1_epi8(char(0xFE))), _mm_set1_epi8(0x1A));
      const __m128i del = _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F));
      const __m128i bad = _mm_or_si128(_mm_andnot_si128(_mm_or_si128(layout, escape), control), del);
      counts = _mm_sub_epi8(counts, bad);
    }
    if (_mm_movemask_epi8(nuls) != 0) return {true, strays, i};
    const __m128i sums = _mm_sad_epu8(counts, zero);
    strays += static_cast<size_t>(_mm_cvtsi128_si32(sums)) + static_cast<size_t>(_mm_extract_epi16(sums, 4));
  }
#endif
  return {false, strays, i};
}

#if !defined(TRAWLSCOPE_HAVE_AVX2_BUILD)
ByteRounds InBlocksOf32(const unsigned char* data, size_t size) { return InBlocksOf16(data, size); }
#endif

bool NulFreeBytesReadAsTextBy(ByteRounds (*rounds)(const unsigned char*, size_t), std::string_view sample) {
  const auto* data = reinterpret_cast<const unsigned char*>(sample.data());
  const ByteRounds bulk = rounds(data, sample.size());
  if (bulk.nul) return false;
  size_t strays = bulk.strays;
  for (size_t i = bulk.end; i < sample.size(); ++i) {
    if (data[i] == 0) return false;
    strays += IsTextUnit<1>(data[i]) ? 0 : 1;
  }
  return strays <= sample.size() / kNoiseDivisor;
}

}  // namespace binary_content


bool IsBinaryContent(std::string_view bytes) {
  if (bytes.empty()) return false;
  const std::string_view sample = bytes.substr(0, kDetectionSampleBytes);
  // Almost every file of a search is byte text without a NUL: it is told at once.
  static const bool wide = ProcessorHasAvx2();
  if (binary_content::NulFreeBytesReadAsTextBy(wide ? binary_content::InBlocksOf32 : binary_content::InBlocksOf16,
                                               sample))
    return false;
  return !ReadsAsText<1>(sample) && !ReadsAsText<2, false>(sample) && !ReadsAsText<2, true>(sample) &&
         !ReadsAsText<4, false>(sample) && !ReadsAsText<4, true>(sample);
}

}  // namespace trawlscope
