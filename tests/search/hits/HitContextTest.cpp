// Offsets past 2^31: a text that large cannot be held in a unit test, but
// the arithmetic that places contexts and lines can be checked on its numbers.
#include "search/hits/HitContext.h"

#include <gtest/gtest.h>


namespace trawlscope {
namespace {

constexpr size_t kPast31 = (size_t{1} << 31) + 12345;
constexpr size_t kPast32 = (size_t{1} << 32) + 7;

TEST(HitContext, ContextsOfAnOccurrencePast2To31) {
  const ContextSpans spans = ContextAround(kPast31, 6, kPast31 + 100, 30);
  EXPECT_EQ(spans.leftStart, kPast31 - 30);
  EXPECT_EQ(spans.leftLength, 30u);
  EXPECT_EQ(spans.rightStart, kPast31 + 6);
  EXPECT_EQ(spans.rightLength, 90u);
}

TEST(HitContext, ContextsStopAtTheTextsEnds) {
  const ContextSpans start = ContextAround(4, 2, 10, 30);
  EXPECT_EQ(start.leftStart, 0u);
  EXPECT_EQ(start.leftLength, 4u);
  EXPECT_EQ(start.rightLength, 4u);
  const ContextSpans end = ContextAround(kPast32 - 6, 6, kPast32, 30);
  EXPECT_EQ(end.rightStart, kPast32);
  EXPECT_EQ(end.rightLength, 0u);
  const ContextSpans none = ContextAround(kPast32, 0, kPast32, 0);
  EXPECT_EQ(none.leftLength, 0u);
  EXPECT_EQ(none.rightLength, 0u);
}

}  // namespace
}  // namespace trawlscope
