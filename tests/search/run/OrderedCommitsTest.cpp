#include "search/run/OrderedCommits.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace trawlscope {
namespace {

using Order = std::vector<size_t>;

// Until the other thread has begun, and a moment more for it to reach its wait.
void AwaitStart(const std::atomic<bool>& started) {
  while (!started.load()) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

OrderedCommits<Order>::Step Record(size_t index) {
  return [index](Order& order) { order.push_back(index); };
}

// A file beyond the window waits for the slow one before it, then every
// step runs in list order, whichever finished first.
TEST(OrderedCommits, AFileBeyondTheWindowWaitsForTheSlowOneAndStepsRunInListOrder) {
  Order order;
  OrderedCommits<Order> commits(2, order);
  AbortFlag abortRequested{false};
  std::atomic<bool> started{false}, passed{false};
  std::thread ahead([&] {
    started = true;
    ASSERT_TRUE(commits.WaitForRoom(2, abortRequested));
    passed = true;
    commits.Commit(2, Record(2));
  });
  ASSERT_TRUE(commits.WaitForRoom(1, abortRequested));
  commits.Commit(1, Record(1));
  AwaitStart(started);
  EXPECT_FALSE(passed.load());  // file 0 is not committed: there is no room for file 2
  EXPECT_TRUE(order.empty());
  commits.Commit(0, Record(0));
  ahead.join();
  EXPECT_TRUE(passed.load());
  EXPECT_EQ(order, (Order{0, 1, 2}));
}

// Parts of a file behind one still worked on are held back up to the budget,
// then its searcher waits for its turn; the next file's parts go at once.
TEST(OrderedCommits, PartsBehindTheNextFileAreHeldUpToTheBudgetThenTheirSearcherWaits) {
  Order order;
  OrderedCommits<Order> commits(4, order, 10);
  AbortFlag abortRequested{false};
  std::atomic<bool> started{false}, passed{false};
  std::thread behind([&] {
    commits.HandOver(1, Record(101), 6, abortRequested);  // within the budget: no wait
    started = true;
    commits.HandOver(1, Record(102), 6, abortRequested);
    passed = true;
    commits.HandOver(1, Record(103), 6, abortRequested);  // its turn now: out at once
    commits.Commit(1, Record(1));
  });
  AwaitStart(started);
  EXPECT_FALSE(passed.load());
  commits.HandOver(0, Record(100), 1000, abortRequested);
  EXPECT_EQ(order, (Order{100}));
  commits.Commit(0, Record(0));
  behind.join();
  EXPECT_EQ(order, (Order{100, 0, 101, 102, 103, 1}));
}

TEST(OrderedCommits, AnAbortEndsTheWaitAndTheFileIsNotProcessed) {
  Order order;
  OrderedCommits<Order> commits(2, order);
  AbortFlag abortRequested{false};
  std::atomic<bool> started{false};
  std::atomic<int> answer{-1};
  std::thread ahead([&] {
    started = true;
    answer = commits.WaitForRoom(5, abortRequested) ? 1 : 0;
  });
  AwaitStart(started);
  EXPECT_EQ(answer.load(), -1);  // still waiting
  abortRequested = true;
  ahead.join();
  EXPECT_EQ(answer.load(), 0);
  EXPECT_TRUE(order.empty());
}

}  // namespace
}  // namespace trawlscope
