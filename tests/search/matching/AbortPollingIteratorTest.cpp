#include "search/matching/AbortPollingIterator.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

namespace trawlscope {
namespace {

constexpr std::string_view kText = "abcdef";

// Steps forward, then back, over a text longer than the walk.
void Walk(int steps) {
  static const std::string text(64, 'x');
  AbortPollingIterator<char> it(text.data() + text.size() / 2);
  for (int i = 0; i < steps; ++i) ++it;
  for (int i = 0; i < steps; ++i) --it;
}

TEST(AbortPollingIterator, ThrowsOncePerScopeWhileTheFlagIsSet) {
  const AbortFlag set{true};
  {
    const AbortPollScope scope(set);
    EXPECT_THROW(Walk(1), ScanAborted);
    // The matcher's clean-up after the throw moves iterators as well.
    EXPECT_NO_THROW(Walk(20));
  }
  const AbortPollScope again(set);
  EXPECT_THROW(Walk(1), ScanAborted);
}

TEST(AbortPollingIterator, NeverThrowsOutsideAScopeOrWithTheFlagClear) {
  EXPECT_NO_THROW(Walk(20));
  const AbortFlag clear{false};
  const AbortPollScope scope(clear);
  EXPECT_NO_THROW(Walk(20));
}

TEST(AbortPollingIterator, InnerScopeEndsWithTheOuterFlagPolledAgain) {
  AbortFlag outer{false};
  const AbortFlag inner{false};
  const AbortPollScope outerScope(outer);
  { const AbortPollScope innerScope(inner); }
  outer = true;
  EXPECT_THROW(Walk(1), ScanAborted);
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
