#include "search/matching/AbortPollingIterator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace trawlscope {
namespace {

constexpr std::string_view kText = "abcdef";

// Whether two iterators at different places of a text compare equal, as the
// matcher's test for the end of the text would.
bool FarApartCompareEqual() {
  const AbortPollingIterator<char> at(kText.data()), end(kText.data() + kText.size());
  return at == end;
}

TEST(AbortPollingIterator, OnceTheFlagIsSeenEveryPlaceIsTheEndForTheRestOfTheScope) {
  AbortFlag abort{false};
  {
    const AbortPollScope scope(abort);
    EXPECT_FALSE(FarApartCompareEqual());
    EXPECT_FALSE(scope.Stopped());
    abort = true;
    EXPECT_TRUE(FarApartCompareEqual());
    EXPECT_TRUE(scope.Stopped());
    // Cleared while the matcher still walks: what it returns stays void.
    abort = false;
    EXPECT_TRUE(FarApartCompareEqual());
    EXPECT_TRUE(scope.Stopped());
  }
  EXPECT_FALSE(FarApartCompareEqual());
  const AbortFlag set{true};
  const AbortPollScope again(set);
  EXPECT_FALSE(again.Stopped());
  EXPECT_TRUE(FarApartCompareEqual());
  EXPECT_TRUE(again.Stopped());
}

TEST(AbortPollingIterator, InnerScopeEndsWithTheOuterFlagPolledAgain) {
  AbortFlag outer{false};
  const AbortFlag inner{true};
  const AbortPollScope outerScope(outer);
  {
    const AbortPollScope innerScope(inner);
    EXPECT_TRUE(FarApartCompareEqual());
  }
  EXPECT_FALSE(outerScope.Stopped());
  EXPECT_FALSE(FarApartCompareEqual());
  outer = true;
  EXPECT_TRUE(FarApartCompareEqual());
}

TEST(AbortPollingIterator, MovesAndComparesLikeThePointer) {
  const AbortPollingIterator<char> begin(kText.data());
  AbortPollingIterator<char> it = begin + 4;
  EXPECT_EQ(*it, 'e');
  EXPECT_EQ(it - begin, 4);
  EXPECT_EQ(begin[2], 'c');
  EXPECT_EQ(*--it, 'd');
  it -= 3;
  EXPECT_TRUE(it == begin);
  EXPECT_TRUE(begin < begin + 1);
  EXPECT_EQ((begin + 6).Pointer(), kText.data() + kText.size());
}

}  // namespace
}  // namespace trawlscope
