#pragma once
// Where a hit's contexts lie in its file's text. Pure arithmetic on 64-bit
// offsets, kept apart so that texts past 2^31 units can be checked without
// holding one.
#include <cstddef>

namespace trawlscope {

// A hit's right context is this many times as long as its left one.
inline constexpr size_t kRightContextFactor = 3;

// A hit's left context is at most this long (and its right one three times
// that), whatever the settings say: the lengths are kept in 32 bits.
inline constexpr size_t kMaxContextUnits = 1u << 20;

// The left context's length for a run's setting.
inline size_t ContextWidth(int contextLength) {
  const size_t asked = contextLength > 0 ? static_cast<size_t>(contextLength) : 0;
  return asked < kMaxContextUnits ? asked : kMaxContextUnits;
}

struct ContextSpans {
  size_t leftStart = 0;
  size_t leftLength = 0;
  size_t rightStart = 0;
  size_t rightLength = 0;
};

// The left context ends where the occurrence at `position` starts and is at
// most `width` units long; the right one starts after it and is at most
// kRightContextFactor * `width` long; neither passes the text's ends.
inline ContextSpans ContextAround(size_t position, size_t length, size_t textSize, size_t width) {
  ContextSpans spans;
  spans.leftLength = position < width ? position : width;
  spans.leftStart = position - spans.leftLength;
  spans.rightStart = position + length < textSize ? position + length : textSize;
  const size_t room = textSize - spans.rightStart;
  spans.rightLength = room < kRightContextFactor * width ? room : kRightContextFactor * width;
  return spans;
}

}  // namespace trawlscope
