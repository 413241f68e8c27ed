#include "search/matching/expression/ExpressionStateLimit.h"

#include <gtest/gtest.h>

#include <limits>

namespace trawlscope {
namespace {

constexpr std::ptrdiff_t kSlack = 100000;

TEST(ExpressionStateLimit, FollowsBoostWhereBoostCanCount) {
  // Short text: N² rules.
  EXPECT_EQ(ExpressionStateLimit(5000, 22), 5000 * 5000 + kSlack);
  // N² past Boost's cap of 10^8 states, N·S² below it: the cap rules.
  EXPECT_EQ(ExpressionStateLimit(20000, 8), 100000000);
  // Long text: N·S² rules.
  EXPECT_EQ(ExpressionStateLimit(1000000, 18), 1000000LL * 18 * 18 + kSlack);
  EXPECT_EQ(ExpressionStateLimit(0, 0), 1 + kSlack);
}

TEST(ExpressionStateLimit, TextsWhoseSquareOverflowsKeepTheLinearTerm) {
  // A 3 GiB file: N² overflows 64 bits, and Boost fell back to its cap of
  // 10^8 states, less than one pass over the text takes.
  constexpr std::ptrdiff_t kThreeGiB = 3LL << 30;
  EXPECT_EQ(ExpressionStateLimit(kThreeGiB, 18), kThreeGiB * 18 * 18 + kSlack);
  // The first length whose square overflows.
  EXPECT_EQ(ExpressionStateLimit(3037000500, 1), 3037000500 + kSlack);
}

TEST(ExpressionStateLimit, SaturatesInsteadOfWrapping) {
  constexpr std::ptrdiff_t kMost = std::numeric_limits<std::ptrdiff_t>::max() - 2;
  EXPECT_EQ(ExpressionStateLimit(std::numeric_limits<std::ptrdiff_t>::max() / 4, 1000), kMost);
  EXPECT_EQ(ExpressionStateLimit(kMost, 1), kMost);
  EXPECT_EQ(ExpressionStateLimit(1, 4000000000), kMost);
}

}  // namespace
}  // namespace trawlscope
