#include "platform/codepage/ByteScan.h"

#include <gtest/gtest.h>

#include <string>

namespace trawlscope {
namespace {

// The offset a byte at a time, to hold the block scans to.
size_t NextHighByteOneByOne(std::string_view bytes, size_t from) {
  for (size_t i = from; i < bytes.size(); ++i)
    if (static_cast<unsigned char>(bytes[i]) >= 0x80) return i;
  return bytes.size();
}

TEST(ByteScan, NextHighByteFromEveryOffsetMatchesTheOneByOneWalk) {
  // High bytes at the edges of the sixteen-byte blocks and between, the
  // lowest and highest high byte, a text without any, and an empty one.
  std::string blocks(70, 'a');
  for (const size_t at : {0, 15, 16, 17, 31, 47, 63, 64, 69}) blocks[at] = at % 2 ? '\x80' : '\xFF';
  const std::string texts[] = {blocks, std::string(70, 'a'), "", "\xE9", "caf\xE9 cr\xE8me", std::string(33, 'z') + "\x81"};
  for (const std::string& text : texts) {
    EXPECT_EQ(FindFirstHighByte(text), NextHighByteOneByOne(text, 0)) << text;
    for (size_t from = 0; from <= text.size() + 3; ++from)
      EXPECT_EQ(FindNextHighByte(text, from), NextHighByteOneByOne(text, from)) << text << " from " << from;
  }
}

}  // namespace
}  // namespace trawlscope
