#pragma once
// Scans over raw bytes that run on every file of a tree, sixteen bytes at a
// time where the processor allows.
#include <bit>
#include <cstddef>
#include <string_view>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace trawlscope {

// Whether the scans built for AVX2 may run here: the processor has it and
// the system saves its registers.
bool ProcessorHasAvx2();

// Offset of the first byte >= 0x80, or bytes.size() when there is none.
inline size_t FindFirstHighByte(std::string_view bytes) {
  const char* const data = bytes.data();
  size_t i = 0;
#if defined(__SSE2__)
  constexpr size_t kBlock = 64;
  for (; i + kBlock <= bytes.size(); i += kBlock) {
    const auto load = [&](size_t k) {
      return _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i + k));
    };
    const __m128i any = _mm_or_si128(_mm_or_si128(load(0), load(16)), _mm_or_si128(load(32), load(48)));
    if (_mm_movemask_epi8(any) != 0) break;
  }
#endif
  for (; i < bytes.size(); ++i)
    if (static_cast<unsigned char>(data[i]) >= 0x80) return i;
  return bytes.size();
}

// Offset of the first byte >= 0x80 from `from` on, or bytes.size(): for
// walks that step over the ASCII between the high bytes of Latin text,
// which come every few dozen bytes, so a block at a time.
inline size_t FindNextHighByte(std::string_view bytes, size_t from) {
  const char* const data = bytes.data();
  size_t i = from;
#if defined(__SSE2__)
  constexpr size_t kBlock = 16;
  for (; i + kBlock <= bytes.size(); i += kBlock) {
    const int high = _mm_movemask_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i)));
    if (high != 0) return i + static_cast<size_t>(std::countr_zero(static_cast<unsigned>(high)));
  }
#endif
  for (; i < bytes.size(); ++i)
    if (static_cast<unsigned char>(data[i]) >= 0x80) return i;
  return bytes.size();
}

inline bool HasHighBytes(std::string_view bytes) {
  return FindFirstHighByte(bytes) != bytes.size();
}

}  // namespace trawlscope
