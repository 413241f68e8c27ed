#include "search/run/ReplaceJob.h"

#include <gtest/gtest.h>

#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::U16;

using CountingSink = test::RecordingSink;

class ReplaceJobTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;

  void SetUp() override {
    tree.Write("t/1.txt", "関数 and 関数");
    tree.Write("t/2.txt", test::Transcode(std::string(test::kJapaneseSentence) + "関数", "EUC-JP"));
    tree.Write("t/3.txt", "nothing here");
    tree.Write("t/4.txt", "関数");
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = u"関数";
    state.request.replacementText = u"函数";
    state.request.caseSensitive = true;
  }
};

TEST_F(ReplaceJobTest, ReplacesWhatTheSearchListsAndASecondSearchFindsNothing) {
  CountingSink sink;
  RunSearch(state, sink);
  const size_t found = state.hits.Count();
  ASSERT_EQ(found, 4u);

  CountingSink replaceSink;
  RunReplace(state, replaceSink);
  EXPECT_EQ(state.hits.Count(), found);  // a replace leaves the last search's hits alone
  size_t replaced = 0;
  for (const auto& file : replaceSink.summary.replaced) replaced += file.outcome.replacements;
  EXPECT_EQ(replaced, found);
  ASSERT_EQ(replaceSink.summary.replaced.size(), 4u);
  EXPECT_EQ(replaceSink.summary.replaced[2].outcome.kind, FileReplaceOutcome::Kind::Unchanged);
  EXPECT_EQ(state.progress.Read().filesChanged, 3u);

  RunSearch(state, sink);
  EXPECT_EQ(state.hits.Count(), 0u);
  state.request.searchText = u"函数";
  RunSearch(state, sink);
  EXPECT_EQ(state.hits.Count(), 4u);
}

TEST_F(ReplaceJobTest, AbortStopsBetweenFilesAndLaterFilesStayAsTheyWere) {
  CountingSink sink;
  state.workers = 1;
  state.beforeFile = [&](size_t index, const std::u16string&) {
    if (index == 1) state.abortRequested = true;
  };
  RunReplace(state, sink);
  EXPECT_TRUE(sink.summary.aborted);
  EXPECT_EQ(tree.Read("t/1.txt"), "函数 and 函数");
  EXPECT_EQ(tree.Read("t/4.txt"), "関数");
  ASSERT_EQ(sink.summary.replaced.size(), 1u);  // the second file's turn came after the abort
}


// Links another user could plant in a searched folder. A replace writes a
// file only under its own name, unless asked to write through links.
TEST_F(ReplaceJobTest, PlantedLinksLeadNoWriteOutOfWhatTheSearchTakes) {
  struct Case {
    const char* link;
    const char* target;     // relative to the tree
    bool throughLinks;
    bool targetChanged;
    FileReplaceOutcome::Kind linkOutcome;
  };
  const Case cases[] = {
      {"t/notes.txt", "rootonly/config.txt", false, false, FileReplaceOutcome::Kind::LeftUnchanged},
      {"t/cfg.txt", "t/.git/config", false, false, FileReplaceOutcome::Kind::LeftUnchanged},
      {"t/alias.txt", "t/sub/cat.txt", false, false, FileReplaceOutcome::Kind::LeftUnchanged},  // no subfolders
      // Met before its file, which is then replaced as 4.txt.
      {"t/0alias.txt", "t/4.txt", false, true, FileReplaceOutcome::Kind::SameFile},
      {"t/notes.txt", "rootonly/config.txt", true, true, FileReplaceOutcome::Kind::Changed},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.link) + " -> " + c.target);
    TempTree own;
    own.Write("t/4.txt", "関数");
    if (std::string(c.target) != "t/4.txt") own.Write(c.target, "[関数]");
    ASSERT_EQ(symlink(own.Path(c.target).c_str(), own.Path(c.link).c_str()), 0);
    JobState run;
    run.request = state.request;
    run.request.searchPath = U16(own.Path("t"));
    run.request.replaceThroughLinks = c.throughLinks;
    run.workers = 1;  // the files in list order: a link read after its file was replaced holds nothing
    CountingSink sink;
    RunReplace(run, sink);
    EXPECT_EQ(own.Read(c.target) != (std::string(c.target) == "t/4.txt" ? "関数" : "[関数]"), c.targetChanged);
    bool seen = false;
    for (const auto& file : sink.summary.replaced) {
      if (file.path != U16(own.Path(c.link))) continue;
      seen = true;
      EXPECT_EQ(file.outcome.kind, c.linkOutcome);
      if (c.linkOutcome == FileReplaceOutcome::Kind::LeftUnchanged)
        EXPECT_EQ(file.outcome.file, FileError::Refused(FileRefusal::SymbolicLink));
    }
    EXPECT_TRUE(seen);
  }
}

}  // namespace
}  // namespace trawlscope
