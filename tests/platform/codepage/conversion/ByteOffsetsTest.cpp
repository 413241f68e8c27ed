#include "platform/codepage/conversion/ByteOffsets.h"

#include <gtest/gtest.h>

#include "support/Transcode.h"

namespace trawlscope {
namespace {

using Offsets = std::vector<size_t>;

TEST(ByteOffsets, PositionsOfCharactersInTheirBytes) {
  const std::string sjis = test::Transcode("aあb😀", "GB18030");  // 1 + 2 + 1 + 4 bytes
  EXPECT_EQ(ByteOffsetsOfPositions(sjis, 54936, {0, 1, 2, 3, 5}), (Offsets{0, 1, 3, 4, 8}));
  const std::string utf8 = "a\xE3\x81\x82" "b";
  EXPECT_EQ(ByteOffsetsOfPositions(utf8, 65001, {1, 2, 3}), (Offsets{1, 4, 5}));
  EXPECT_EQ(ByteOffsetsOfPositions("abc", 65001, {0, 3}), (Offsets{0, 3}));
  EXPECT_EQ(ByteOffsetsOfPositions(std::string("a\0b\0", 4), 1200, {1, 2}), (Offsets{2, 4}));
}

TEST(ByteOffsets, APositionInsideACharacterHasNone) {
  // The two halves of a surrogate pair come from the same four UTF-8 bytes.
  EXPECT_FALSE(ByteOffsetsOfPositions("\xF0\x9F\x98\x80", 65001, {1}));
  EXPECT_FALSE(ByteOffsetsOfPositions("abc", 65001, {4}));
  EXPECT_FALSE(ByteOffsetsOfPositions("abc", 10001, {0}));
}

TEST(ByteOffsets, LongTextsCrossTheConvertersRounds) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "\xE3\x81\x82";  // あ, more units than one round
  EXPECT_EQ(ByteOffsetsOfPositions(text, 65001, {0, 65535, 65536, 99999, 100000}),
            (Offsets{0, 65535 * 3, 65536 * 3, 99999 * 3, 300000}));
}

}  // namespace
}  // namespace trawlscope
