#include "search/run/SearchJob.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "support/RecordingSink.h"
#include "support/Transcode.h"
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

TEST_F(SearchJobTest, RunOverThreeFilesPublishesEachAndFindsEveryHit) {
  state.workers = 1;
  std::vector<std::u16string> seen;
  state.beforeFile = [&](size_t index, const std::u16string&) {
    const ProgressSnapshot now = state.progress.Read();
    const std::string line = std::to_string(index) + " " + std::to_string(now.started) + " ";
    seen.push_back(std::u16string(line.begin(), line.end()) + now.fileName);
  };
  RunSearch(state, sink);
  EXPECT_EQ(seen, (std::vector<std::u16string>{u"0 1 1.txt", u"1 2 2.txt", u"2 3 3.txt"}));
  const ProgressSnapshot end = state.progress.Read();
  EXPECT_EQ(end.phase, RunPhase::Idle);
  EXPECT_EQ(end.listed, 3u);
  EXPECT_EQ(end.started, 3u);
  EXPECT_TRUE(sink.finished);
  EXPECT_FALSE(sink.summary.aborted);
  EXPECT_EQ(state.hits.Count(), 3u);
  EXPECT_EQ(state.fileList.size(), 3u);
  EXPECT_EQ(state.contextLength, 30);
}

TEST_F(SearchJobTest, EmptySearchTextDoesNothingButFinish) {
  state.hits.AppendStandalone(u"/", u"old.txt", u"", u"k", u"", 1, 0);
  state.request.searchText.clear();
  RunSearch(state, sink);
  EXPECT_EQ(state.progress.Read().listed, 0u);
  EXPECT_TRUE(sink.finished);
  EXPECT_EQ(state.hits.Count(), 0u);
}

TEST_F(SearchJobTest, BrokenExpressionIsAnErrorOnlyInRegexRuns) {
  state.request.searchText = u"needle(";
  RunSearch(state, sink);
  EXPECT_TRUE(sink.warnings.empty());

  RecordingSink regexSink;
  state.request.useRegex = true;
  RunSearch(state, regexSink);
  ASSERT_EQ(regexSink.warnings.size(), 1u);
  EXPECT_EQ(regexSink.warnings[0].kind, RunWarning::Kind::ExpressionInvalid);
  EXPECT_NE(regexSink.warnings[0].detail.find("Unmatched marking parenthesis"), std::string::npos)
      << regexSink.warnings[0].detail;
  EXPECT_TRUE(regexSink.summary.expressionRejected);
  EXPECT_EQ(state.hits.Count(), 0u);
  EXPECT_TRUE(regexSink.finished);
}

TEST_F(SearchJobTest, AbortDuringTheSecondFileStopsTheRun) {
  state.workers = 1;
  state.beforeFile = [&](size_t index, const std::u16string&) {
    if (index == 1) state.abortRequested = true;
  };
  RunSearch(state, sink);
  EXPECT_TRUE(sink.summary.aborted);
  EXPECT_EQ(state.progress.Read().started, 2u);
  EXPECT_EQ(state.hits.Count(), 1u);
}

TEST_F(SearchJobTest, EachFilesHitsAreHandedOverBeforeTheNextFileAndNotKept) {
  state.workers = 1;
  std::vector<std::u16string> handed;
  state.onFileHits = [&](const HitList& fileHits) {
    for (const auto& hit : fileHits) handed.push_back(hit.FileName() + u":" + hit.RightContext());
  };
  state.keepHits = false;
  std::vector<size_t> handedBeforeFile;
  state.beforeFile = [&](size_t, const std::u16string&) { handedBeforeFile.push_back(handed.size()); };
  RunSearch(state, sink);
  EXPECT_EQ(handed, (std::vector<std::u16string>{u"1.txt: one", u"3.txt:, needle", u"3.txt:"}));
  EXPECT_EQ(handedBeforeFile, (std::vector<size_t>{0, 1, 1}));
  EXPECT_EQ(state.hits.Count(), 0u);
}

TEST_F(SearchJobTest, AbortWhileListingSearchesNothing) {
  state.abortRequested = true;
  RunSearch(state, sink);
  EXPECT_EQ(state.progress.Read().started, 0u);
  EXPECT_EQ(state.hits.Count(), 0u);
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

// A file's hits flow out as they are found, in parts; a file behind it holds
// back no more than the budget's worth, and its searcher waits rather than
// go on to the next file.
TEST(SearchJobStreaming, HitsBehindAFileStillSearchedAreHeldBackOnlyUpToTheBudget) {
  TempTree tree;
  std::string many;
  for (int i = 0; i < 100000; ++i) many += "needle\n";
  tree.Write("t/a.txt", many);
  tree.Write("t/b.txt", many);
  tree.Write("t/c.txt", "needle");
  JobState state;
  state.request.searchPath = U16(tree.Path("t"));
  state.request.searchText = u"needle";
  state.workers = 2;
  state.keepHits = false;
  state.heldHitBytes = 64u << 10;
  std::atomic<bool> lastTaken{false};
  state.beforeFile = [&](size_t index, const std::u16string&) { lastTaken = index == 2; };
  bool takenWhileFirstFileSearched = false;
  std::vector<std::u16string> parts;  // each part's file, count and whether it continues
  state.onFileHits = [&](const HitList& hits) {
    if (parts.empty()) {
      // a.txt is still being searched: b.txt's searcher may not finish it meanwhile.
      const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(1);
      while (!lastTaken && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
      takenWhileFirstFileSearched = lastTaken;
    }
    const HitFile& file = hits.FileOf(0);
    parts.push_back(file.fileName + U16(" " + std::to_string(hits.size()) + (file.continued ? " +" : "")));
  };
  RecordingSink sink;
  RunSearch(state, sink);
  EXPECT_FALSE(takenWhileFirstFileSearched);
  const std::vector<std::u16string> expected = {u"a.txt 65536", u"a.txt 34464 +", u"b.txt 65536",
                                                u"b.txt 34464 +", u"c.txt 1"};
  EXPECT_EQ(parts, expected);
}

// Several searchers must give exactly what one gives: the same hits in the
// same order, the same files skipped and unsearchable, in list order.
TEST(SearchJobWorkers, SeveralSearchersGiveExactlyWhatOneGives) {
  TempTree tree;
  const char* encodings[] = {"UTF-8", "windows-31j", "EUC-JP", "UTF-16LE"};
  unsigned seed = 7;
  const auto next = [&] { return seed = seed * 1103515245 + 12345, (seed >> 16) & 0x7FFF; };
  for (int i = 0; i < 240; ++i) {
    std::string text;
    for (int line = 0, lines = static_cast<int>(next() % 40); line < lines; ++line) {
      text += next() % 3 == 0 ? "関数 needle " : "nothing here ";
      text += std::string(test::kJapaneseSentence) + (next() % 5 == 0 ? " Needle\n" : "\n");
    }
    const char* encoding = encodings[next() % 4];
    std::string bytes = test::Transcode(text, encoding);
    if (std::string(encoding) == "UTF-16LE") bytes = "\xFF\xFE" + bytes;
    if (i % 37 == 0) bytes = std::string("\x7f" "ELF\x02\x01\x01\0\0\0 needle \x03\0", 19);
    tree.Write("t/" + std::to_string(i / 16) + "/" + std::to_string(i) + ".txt", bytes);
  }
  // Streamed: the lines are made from each file's hits as they are handed over.
  const auto run = [&](unsigned workers, bool regex, bool streamed = false) {
    JobState state;
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = regex ? u"(?i)needle|関数" : u"needle";
    state.request.useRegex = regex;
    state.request.includeSubfolders = true;
    state.workers = workers;
    RecordingSink sink;
    std::vector<std::u16string> lines;
    const auto add = [&](const HitList& hits) {
      for (const auto& hit : hits) {
        const std::string numbers = " " + std::to_string(hit.line) + " " + std::to_string(hit.position) + " " +
                                    std::to_string(hit.length) + " ";
        lines.push_back(hit.FullPath() + std::u16string(numbers.begin(), numbers.end()) + hit.LeftContext() +
                        u"[" + hit.Keyword() + u"]" + hit.RightContext());
      }
    };
    if (streamed) state.onFileHits = add;
    state.keepHits = !streamed;
    RunSearch(state, sink);
    add(state.hits);
    EXPECT_EQ(sink.summary.binarySkipped, 7u);
    return lines;
  };
  for (const bool regex : {false, true}) {
    const auto one = run(1, regex);
    EXPECT_GT(one.size(), 500u);
    EXPECT_EQ(run(2, regex), one);
    EXPECT_EQ(run(5, regex), one);
    EXPECT_EQ(run(2, regex, true), one);
  }
}

}  // namespace
}  // namespace trawlscope
