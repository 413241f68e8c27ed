#include "search/matching/scan/ProbeRounds.h"

#include "platform/codepage/ByteScan.h"
#include "support/RandomAscii.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace trawlscope::probe_rounds {
namespace {

bool HasHighByteIn(const std::string& text, size_t from, size_t to) {
  for (size_t k = from; k < to && k < text.size(); ++k)
    if (static_cast<unsigned char>(text[k]) >= 0x80) return true;
  return false;
}

// Each width keeps the promise its callers build on: a high byte reported
// lies where the first probe looked, an occurrence reported is there, and
// rounds that ran out saw neither and left less than a round.
void ExpectRoundsKeepTheirPromise(Outcome (*rounds)(const Needle&, const char*, size_t), size_t roundBytes) {
  std::mt19937 random(17);
  const std::string alphabet = "aAeE_Qq \n";
  for (int round = 0; round < 4000; ++round) {
    const std::string haystack = test::RandomHaystack(random, 700, alphabet);
    const std::string text = test::RandomText(random, 2 + random() % 5, std::string_view(alphabet).substr(0, alphabet.size() - 1));
    const bool caseless = random() % 2 == 0;
    const size_t firstProbe = random() % text.size();
    const size_t secondProbe = (firstProbe + 1 + random() % (text.size() - 1)) % text.size();
    const Needle needle{text.data(), text.size(), firstProbe, secondProbe, caseless};
    const Outcome got = rounds(needle, haystack.data(), haystack.size());
    const size_t first = test::FindFirst(haystack, text, caseless);
    const std::string where = text + " in " + haystack + (caseless ? " caseless" : "");
    switch (got.stop) {
      case Stop::HighByte:
        ASSERT_TRUE(HasHighByteIn(haystack, got.end + firstProbe, got.end + firstProbe + roundBytes)) << where;
        break;
      case Stop::Found:
        ASSERT_LT(first, got.end) << where;
        ASSERT_FALSE(HasHighByteIn(haystack, firstProbe, got.end + firstProbe)) << where;
        break;
      case Stop::Ran:
        ASSERT_TRUE(first == std::string::npos || first >= got.end) << where;
        ASSERT_FALSE(HasHighByteIn(haystack, firstProbe, got.end + firstProbe)) << where;
        ASSERT_LT(haystack.size(), got.end + roundBytes + text.size()) << where;
        break;
    }
  }
}

TEST(ProbeRounds, BlocksOf16KeepTheirPromise) { ExpectRoundsKeepTheirPromise(InBlocksOf16, 64); }

TEST(ProbeRounds, BlocksOf32KeepTheirPromise) {
  if (!trawlscope::ProcessorHasAvx2()) GTEST_SKIP() << "this processor has no AVX2";
  ExpectRoundsKeepTheirPromise(InBlocksOf32, 128);
}

}  // namespace
}  // namespace trawlscope::probe_rounds
