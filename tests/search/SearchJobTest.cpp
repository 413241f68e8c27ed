#include "search/SearchJob.h"

#include <gtest/gtest.h>

#include <thread>

#include "search/JobTexts.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::U16;

using test::RecordingSink;

class SearchJobTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  RecordingSink sink;

  void SetUp() override {
    tree.Write("t/1.txt", "needle one");
    tree.Write("t/2.txt", "nothing");
    tree.Write("t/3.txt", "needle, needle");
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = u"needle";
    state.request.caseSensitive = true;
  }
};

TEST_F(SearchJobTest, RunOverThreeFilesReportsEachAndFindsEveryHit) {
  RunSearch(state, sink);
  EXPECT_EQ(sink.progress, (std::vector<std::u16string>{u"Making a list of files...",
                                                        u"Searching... 0/3 1.txt",
                                                        u"Searching... 1/3 2.txt",
                                                        u"Searching... 2/3 3.txt"}));
  EXPECT_EQ(sink.processingStarted, 3);
  EXPECT_TRUE(sink.stopped);
  EXPECT_TRUE(sink.finished);
  EXPECT_FALSE(sink.summary.aborted);
  EXPECT_EQ(state.hits.Count(), 3u);
  EXPECT_EQ(state.fileList.size(), 3u);
  EXPECT_EQ(state.contextLength, 30);
}

TEST_F(SearchJobTest, EmptySearchTextDoesNothingButFinish) {
  state.hits.Append(std::make_unique<Hit>());
  state.request.searchText.clear();
  RunSearch(state, sink);
  EXPECT_TRUE(sink.progress.empty());
  EXPECT_TRUE(sink.finished);
  EXPECT_EQ(state.hits.Count(), 0u);
}

TEST_F(SearchJobTest, BrokenExpressionIsAnErrorOnlyInRegexRuns) {
  state.request.searchText = u"needle(";
  RunSearch(state, sink);
  EXPECT_TRUE(sink.messages.empty());

  RecordingSink regexSink;
  state.request.useRegex = true;
  RunSearch(state, regexSink);
  EXPECT_EQ(regexSink.messages, (std::vector<std::u16string>{texts::kRegexError}));
  EXPECT_TRUE(regexSink.summary.expressionRejected);
  EXPECT_EQ(state.hits.Count(), 0u);
  EXPECT_TRUE(regexSink.finished);
}

TEST_F(SearchJobTest, AbortDuringTheSecondFileStopsTheRun) {
  sink.onProgress = [&](const ProgressReport& report) {
    if (report.index == 1) state.abortRequested = true;
  };
  RunSearch(state, sink);
  EXPECT_TRUE(sink.summary.aborted);
  EXPECT_EQ(sink.progress.size(), 3u);  // listing, file 0, file 1
  EXPECT_EQ(state.hits.Count(), 1u);
}

TEST_F(SearchJobTest, AbortWhileListingSearchesNothing) {
  state.abortRequested = true;
  RunSearch(state, sink);
  EXPECT_EQ(sink.progress.size(), 1u);
  EXPECT_EQ(sink.processingStarted, -1);
  EXPECT_TRUE(sink.summary.aborted);
}

TEST_F(SearchJobTest, HitCountCanBeReadWhileTheWorkerAppends) {
  for (int i = 0; i < 200; ++i) tree.Write("many/" + std::to_string(i) + ".txt", "needle needle");
  state.request.searchPath = U16(tree.Path("many"));
  std::atomic<bool> done{false};
  std::thread worker([&] {
    RunSearch(state, sink);
    done = true;
  });
  size_t lastSeen = 0;
  while (!done) {
    const size_t now = state.hits.Count();
    EXPECT_GE(now, lastSeen);
    lastSeen = now;
  }
  worker.join();
  EXPECT_EQ(state.hits.Count(), 400u);
}

}  // namespace
}  // namespace trawlscope
