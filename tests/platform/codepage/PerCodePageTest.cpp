#include "platform/codepage/PerCodePage.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace trawlscope {
namespace {

std::atomic<int> computations{0};

// Slow enough that every thread asks while the first is still at work.
std::unique_ptr<int> SlowAnswer(CodePage codePage) {
  ++computations;
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  if (codePage == codepage::kNone) return nullptr;
  return std::make_unique<int>(static_cast<int>(codePage));
}

const int* Answer(CodePage codePage) { return OncePerCodePage<int, SlowAnswer>(codePage); }

TEST(OncePerCodePage, ThreadsAskingTogetherShareOneComputationPerPage) {
  constexpr int kThreads = 8;
  const CodePage pages[] = {932, 1252, codepage::kNone};
  constexpr size_t kPages = std::size(pages);
  // Each thread asks for the pages in its own order, starting together.
  std::vector<std::vector<const int*>> seen(kThreads, std::vector<const int*>(kPages));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&, t] {
      for (size_t k = 0; k < kPages; ++k) {
        const size_t p = (k + t) % kPages;
        seen[t][p] = Answer(pages[p]);
      }
    });
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(computations, static_cast<int>(kPages));  // a null answer is kept too
  ASSERT_NE(Answer(932), nullptr);
  EXPECT_EQ(*Answer(932), 932);
  EXPECT_EQ(*Answer(1252), 1252);
  EXPECT_EQ(Answer(codepage::kNone), nullptr);
  for (int t = 0; t < kThreads; ++t)
    for (size_t p = 0; p < kPages; ++p) EXPECT_EQ(seen[t][p], Answer(pages[p])) << "thread " << t << ", page " << p;
  EXPECT_EQ(computations, static_cast<int>(kPages));
}

}  // namespace
}  // namespace trawlscope
