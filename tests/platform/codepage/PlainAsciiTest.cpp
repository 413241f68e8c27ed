#include "platform/codepage/PlainAscii.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "platform/codepage/BinaryContent.h"
#include "platform/codepage/CodePageDetector.h"

namespace trawlscope {
namespace {

// The one-pass answer agrees with the binary check and the detector on
// samples of every length around the block size, with each kind of byte
// that must turn it away (controls, DEL, "~", NUL, ESC, high bytes) at
// every place, and with HZ's and ISO-2022's announcements.
TEST(PlainAscii, PlainSamplesAreTextInUtf8AndEveryOtherByteTurnsTheAnswerAway) {
  std::mt19937 random(5);
  const std::string plain = "int main(void) {\treturn 0; }\r\n";
  const char odd[] = {'\0', '\x01', '\x08', '\x0B', '\x0C', '\x1A', '\x1B', '\x7F', '~', '\x80', '\xE9', '\xFF'};
  size_t plainCount = 0;
  for (size_t length = 0; length < 70; ++length) {
    std::string sample;
    for (size_t i = 0; i < length; ++i) sample += plain[random() % plain.size()];
    ASSERT_TRUE(IsPlainAsciiSample(sample)) << length;
    EXPECT_FALSE(IsBinaryContent(sample));
    EXPECT_EQ(DetectCodePage(sample), codepage::kUtf8);
    ++plainCount;
    for (size_t at = 0; at < length; ++at) {
      std::string changed = sample;
      changed[at] = odd[random() % std::size(odd)];
      EXPECT_FALSE(IsPlainAsciiSample(changed)) << length << " " << at << " " << int(changed[at]);
    }
  }
  EXPECT_FALSE(IsPlainAsciiSample("a ~{ hz text ~} b"));
  EXPECT_EQ(DetectCodePage("a ~{ hz text ~} b"), codepage::kHz);
  EXPECT_FALSE(IsPlainAsciiSample("\x1b$B$3$s\x1b(B"));
  EXPECT_GT(plainCount, 60u);
}

}  // namespace
}  // namespace trawlscope
