#include "app/BoundsInput.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace trawlscope {
namespace {

TEST(BoundsInputTest, SizesCountInBytesOrIn1024s) {
  const struct {
    const char* text;
    std::optional<std::uint64_t> bytes;
  } cases[] = {
      {"0", 0},          {"4096", 4096},  {"10k", 10240},          {"10K", 10240},
      {"5M", 5u << 20},  {"1G", 1u << 30}, {"17179869184G", std::nullopt},  // 2⁶⁴
      {"", std::nullopt}, {"k", std::nullopt}, {"-1", std::nullopt}, {"1.5M", std::nullopt},
      {"10 k", std::nullopt}, {"10kb", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadSize(c.text), c.bytes) << c.text;
}

// Dates without an offset are the local time of the zone the program runs in.
class MomentTest : public testing::Test {
 protected:
  void SetUp() override {
    if (const char* zone = std::getenv("TZ")) savedZone_ = zone;
    setenv("TZ", "JST-9", 1);
    tzset();
  }
  void TearDown() override {
    if (savedZone_) setenv("TZ", savedZone_->c_str(), 1);
    else unsetenv("TZ");
    tzset();
  }

 private:
  std::optional<std::string> savedZone_;
};

TEST_F(MomentTest, IsoDatesAndSpansBackFromNow) {
  constexpr std::int64_t kDecemberFirstUtc = 1'796'083'200;  // 2026-12-01T00:00Z
  constexpr std::int64_t kNow = 1'800'000'000;
  const struct {
    const char* text;
    std::optional<std::int64_t> moment;
  } cases[] = {
      {"2026-12-01", kDecemberFirstUtc - 9 * 3600},
      {"2026-12-01T10:00", kDecemberFirstUtc + 3600},
      {"2026-12-01 10:00:30", kDecemberFirstUtc + 3630},
      {"2026-12-01T10:00Z", kDecemberFirstUtc + 10 * 3600},
      {"2026-12-01T10:00:30+09:00", kDecemberFirstUtc + 3630},
      {"2026-12-01T00:00-0530", kDecemberFirstUtc + 5 * 3600 + 1800},
      {"7d", kNow - 7 * 86400},
      {"12h", kNow - 12 * 3600},
      {"0d", kNow},
      {"2026-02-29", std::nullopt},
      {"2026-12-01T24:00", std::nullopt},
      {"2026-12-01T10", std::nullopt},
      {"2026-12-1", std::nullopt},
      {"2026-12-01T10:00+9", std::nullopt},
      {"2026-12-01x", std::nullopt},
      {"yesterday", std::nullopt},
      {"d", std::nullopt},
      {"7w", std::nullopt},
      {"99999999999d", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadMoment(c.text, kNow), c.moment) << c.text;
}

}  // namespace
}  // namespace trawlscope
