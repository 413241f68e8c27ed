#include "platform/codepage/PlainAscii.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/codepage/binary/BinaryContent.h"
#include "platform/codepage/detection/CodePageDetector.h"

namespace trawlscope {
namespace {

// The one-pass answer agrees with the binary check and the detector on
// samples of every length around the block size, layout controls among
// them, with each kind of byte that must turn it away (other controls, DEL,
// NUL, ESC, high bytes) at every place, and with HZ's and ISO-2022's
// announcements. The narrow scan is asked as well: this processor may take
// the wide one.
TEST(PlainAscii, PlainSamplesAreTextInUtf8AndEveryOtherByteTurnsTheAnswerAway) {
  std::mt19937 random(5);
  const std::string plain = "int main(void) {\treturn ~0; }\r\n\b\v\f\x0E\x0F";
  const char odd[] = {'\0', '\x01', '\x07', '\x10', '\x1A', '\x1B', '\x1F', '\x7F', '\x80', '\xE9', '\xFF'};
  size_t plainCount = 0;
  for (size_t length = 0; length < 300; ++length) {
    std::string sample;
    for (size_t i = 0; i < length; ++i) sample += plain[random() % plain.size()];
    // A random draw may hold both of HZ's shifts; otherwise the sample is plain.
    const bool hz = sample.find("~{") != std::string::npos && sample.find("~}") != std::string::npos;
    ASSERT_EQ(IsPlainAsciiSample(sample), !hz) << length;
    ASSERT_EQ(plain_ascii::IsPlainAsciiSampleBy(plain_ascii::InBlocksOf16, sample), !hz) << length;
    EXPECT_FALSE(IsBinaryContent(sample));
    EXPECT_EQ(DetectCodePage(sample), hz ? codepage::kHz : codepage::kUtf8);
    plainCount += !hz;
    for (size_t at = 0; at < length; ++at) {
      std::string changed = sample;
      changed[at] = odd[random() % std::size(odd)];
      EXPECT_FALSE(IsPlainAsciiSample(changed)) << length << " " << at << " " << int(changed[at]);
      EXPECT_FALSE(plain_ascii::IsPlainAsciiSampleBy(plain_ascii::InBlocksOf16, changed)) << length << " " << at;
    }
  }
  // Shifts in the tail past the rounds, and in the first round with none after.
  for (const std::string& hz : {std::string("a ~{ hz text ~} b"), std::string(100, 'x') + "~{" + std::string(100, 'y') + "~}",
                                "~{" + std::string(60, 'x') + "~}" + std::string(500, 'y')}) {
    EXPECT_FALSE(IsPlainAsciiSample(hz));
    EXPECT_FALSE(plain_ascii::IsPlainAsciiSampleBy(plain_ascii::InBlocksOf16, hz));
    EXPECT_EQ(DetectCodePage(hz), codepage::kHz);
  }
  EXPECT_TRUE(IsPlainAsciiSample("x = ~y; z = {0};"));
  EXPECT_TRUE(IsPlainAsciiSample(std::string(200, 'x') + "~{ no closing shift"));
  EXPECT_FALSE(IsPlainAsciiSample("\x1b$B$3$s\x1b(B"));
  EXPECT_GT(plainCount, 40u);
}

}  // namespace
}  // namespace trawlscope
