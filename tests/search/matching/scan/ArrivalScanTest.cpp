#include "search/matching/scan/ArrivalScan.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace trawlscope {
namespace {

// Feeds `bytes` in pieces cut at `cuts`, as a reader would.
void Feed(ArrivalScan& scan, const std::string& bytes, std::initializer_list<size_t> cuts) {
  size_t from = 0;
  for (const size_t cut : cuts) {
    scan.Arrived(std::string_view(bytes).substr(0, cut), from);
    from = cut;
  }
  if (from < bytes.size()) scan.Arrived(bytes, from);
}

// An occurrence split over two pieces is found; so is one wholly inside a piece.
TEST(ArrivalScan, FindsTheNeedleAcrossPieceBoundaries) {
  const ByteFinder needle("PM_RESUME");
  const std::string bytes = std::string(100, 'x') + "PM_RESUME" + std::string(50, 'y');
  for (size_t cut = 90; cut <= 115; ++cut) {
    ArrivalScan scan;
    scan.Start(&needle);
    Feed(scan, bytes, {cut});
    EXPECT_TRUE(scan.NeedleSettled());
    EXPECT_TRUE(scan.NeedleFound()) << cut;
    EXPECT_EQ(scan.FirstHighByte(bytes.size()), bytes.size());
  }
  ArrivalScan scan;
  scan.Start(&needle);
  Feed(scan, std::string(300, 'P'), {100, 200});
  EXPECT_TRUE(scan.NeedleSettled());
  EXPECT_FALSE(scan.NeedleFound());
}

// A byte from 0x80 up anywhere means the file may be read in another code
// page: the needle's answer no longer stands for it, whatever was found.
TEST(ArrivalScan, AByteAbove0x7FUnsettlesTheNeedleAndIsLocated) {
  const ByteFinder needle("abc");
  for (const size_t high : {0u, 5u, 99u, 100u, 150u}) {
    std::string bytes = "abc" + std::string(197, '.');
    bytes[high] = '\xE9';
    ArrivalScan scan;
    scan.Start(&needle);
    Feed(scan, bytes, {100});
    EXPECT_FALSE(scan.NeedleSettled()) << high;
    EXPECT_EQ(scan.FirstHighByte(bytes.size()), high);
  }
  ArrivalScan none;
  none.Start(nullptr);
  Feed(none, "plain", {2});
  EXPECT_FALSE(none.NeedleSettled());
  EXPECT_EQ(none.FirstHighByte(5), 5u);
}

// Random ASCII texts cut at random places agree with a plain find.
TEST(ArrivalScan, AgreesWithAPlainFindOnRandomPieces) {
  std::mt19937 random(5);
  for (int round = 0; round < 500; ++round) {
    std::string bytes(random() % 400, 'a');
    for (char& c : bytes) c = "ab"[random() % 2];
    std::string text(1 + random() % 6, 'a');
    for (char& c : text) c = "ab"[random() % 2];
    const ByteFinder needle(text);
    ArrivalScan scan;
    scan.Start(&needle);
    size_t from = 0;
    while (from < bytes.size()) {
      const size_t to = std::min(bytes.size(), from + 1 + random() % 50);
      scan.Arrived(std::string_view(bytes).substr(0, to), from);
      from = to;
    }
    ASSERT_EQ(scan.NeedleFound(), bytes.find(text) != std::string::npos) << text << " in " << bytes;
  }
}

}  // namespace
}  // namespace trawlscope
