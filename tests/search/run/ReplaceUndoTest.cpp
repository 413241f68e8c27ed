// Replace runs with an undo journal, then undone, over real files in real
// encodings: the originals come back byte for byte, and a file changed since
// the replace stays as it is.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/journal/KeptRuns.h"
#include "platform/journal/UndoRun.h"
#include "search/run/ReplaceJob.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;

class ReplaceUndoTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  test::RecordingSink sink;
  JournalPlace place{tree.Path("state/trawlscope/undo")};
  std::string sjis = Transcode("関数を呼ぶ。\r\n吾輩は猫である関数\r\n", "windows-31j");
  std::string euc = Transcode("名前はまだ無い関数。\n", "EUC-JP");
  std::string utf16 = "\xFF\xFE" + Transcode("関数 and 関数\n", "UTF-16LE");
  std::string utf8 = "\xEF\xBB\xBF関数\n";

  void SetUp() override {
    tree.Write("t/sjis.txt", sjis);
    tree.Write("t/euc.txt", euc);
    tree.Write("t/utf16.txt", utf16);
    tree.Write("t/utf8.txt", utf8);
    tree.Write("t/none.txt", "nothing to change");
    state.request.searchPath = U16(tree.Path("t"));
    state.request.searchText = u"関数";
    state.request.replacementText = u"函数";
    state.journal = place;
  }
};

TEST_F(ReplaceUndoTest, UndoBringsBackEveryOriginalByteForByte) {
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.journal.kind, JournalEnd::Kind::Kept);
  EXPECT_EQ(sink.summary.journal.files, 4u);
  EXPECT_EQ(tree.Read("t/sjis.txt"), Transcode("函数を呼ぶ。\r\n吾輩は猫である函数\r\n", "windows-31j"));

  const UndoReport report = UndoLastRun(place);
  EXPECT_EQ(report.status, UndoReport::Status::Undone);
  EXPECT_EQ(report.description.searchText, "関数");
  EXPECT_EQ(report.description.replacementText, "函数");
  EXPECT_EQ(report.restored.size(), 4u);
  EXPECT_TRUE(report.refused.empty());
  EXPECT_EQ(tree.Read("t/sjis.txt"), sjis);
  EXPECT_EQ(tree.Read("t/euc.txt"), euc);
  EXPECT_EQ(tree.Read("t/utf16.txt"), utf16);
  EXPECT_EQ(tree.Read("t/utf8.txt"), utf8);
  EXPECT_TRUE(ListKeptRuns(place.folder).empty());
}

TEST_F(ReplaceUndoTest, AFileEditedAfterTheReplaceIsRefusedAndTheOthersComeBack) {
  RunReplace(state, sink);
  const std::string edited = Transcode("函数を呼ぶ。手で直した\r\n", "windows-31j");
  tree.Write("t/sjis.txt", edited);
  const UndoReport report = UndoLastRun(place);
  ASSERT_EQ(report.refused.size(), 1u);
  EXPECT_EQ(report.refused[0].path, tree.Path("t/sjis.txt"));
  EXPECT_EQ(report.refused[0].reason, UndoRefusal::ChangedSinceReplace);
  EXPECT_EQ(report.restored.size(), 3u);
  EXPECT_EQ(tree.Read("t/sjis.txt"), edited);
  EXPECT_EQ(tree.Read("t/euc.txt"), euc);
}

TEST_F(ReplaceUndoTest, APickedReplaceIsJournalledAndUndoneToo) {
  RunSearch(state, sink);
  ASSERT_EQ(state.hits.size(), 6u);
  std::vector<Hit> inShiftJis;
  for (const Hit& hit : state.hits)
    if (hit.FileName() == u"sjis.txt") inShiftJis.push_back(hit);
  ASSERT_EQ(inShiftJis.size(), 2u);
  state.selection = SelectionOfHits({inShiftJis[1]});
  RunReplace(state, sink);
  ASSERT_EQ(sink.summary.journal.kind, JournalEnd::Kind::Kept);
  EXPECT_EQ(sink.summary.journal.files, 1u);
  EXPECT_EQ(tree.Read("t/sjis.txt"), Transcode("関数を呼ぶ。\r\n吾輩は猫である函数\r\n", "windows-31j"));
  EXPECT_EQ(UndoLastRun(place).restored.size(), 1u);
  EXPECT_EQ(tree.Read("t/sjis.txt"), sjis);
}

TEST_F(ReplaceUndoTest, TwoRunsAreUndoneOneAfterTheOther) {
  RunReplace(state, sink);
  state.request.searchText = u"函数";
  state.request.replacementText = u"機能";
  RunReplace(state, sink);
  ASSERT_EQ(ListKeptRuns(place.folder).size(), 2u);
  EXPECT_EQ(UndoLastRun(place).restored.size(), 4u);
  EXPECT_EQ(tree.Read("t/euc.txt"), Transcode("名前はまだ無い函数。\n", "EUC-JP"));
  const UndoReport earlier = UndoLastRun(place);
  EXPECT_EQ(earlier.restored.size(), 4u);
  EXPECT_TRUE(earlier.refused.empty());
  EXPECT_EQ(tree.Read("t/euc.txt"), euc);
}

TEST_F(ReplaceUndoTest, FilesBeyondTheLimitAreLeftAsTheyWere) {
  state.journal->maxBytes = 5;
  RunReplace(state, sink);
  EXPECT_EQ(tree.Read("t/euc.txt"), euc);
  size_t full = 0;
  for (const auto& file : sink.summary.replaced) full += file.outcome.problem == ReplaceProblem::JournalFull;
  EXPECT_EQ(full, 4u);
  EXPECT_EQ(UndoLastRun(place).status, UndoReport::Status::NothingToUndo);
}

TEST_F(ReplaceUndoTest, AFileReachedByTwoNamesIsReplacedOnceAndUndoneWhole) {
  tree.Write("d/a/f.txt", "cat");
  for (int i = 0; i < 50; ++i) tree.Write("d/m/" + std::to_string(i) + ".txt", "dog");
  mkdir(tree.Path("d/z").c_str(), 0755);
  ASSERT_EQ(link(tree.Path("d/a/f.txt").c_str(), tree.Path("d/z/f.txt").c_str()), 0);
  tree.Write("e.txt", "cat");
  const std::string d = tree.Path("d");
  state.request.searchPath = U16("\"" + d + "\" \"" + d + "\" \"" + tree.Path("e.txt") + "\" \"" +
                                 tree.Path("") + "/e.txt\"");
  state.request.includeSubfolders = true;
  state.request.searchText = u"cat";
  state.request.replacementText = u"cat cat";
  RunReplace(state, sink);
  EXPECT_EQ(tree.Read("d/a/f.txt"), "cat cat");
  EXPECT_EQ(tree.Read("e.txt"), "cat cat");
  EXPECT_EQ(sink.summary.journal.files, 2u);
  UndoLastRun(place);
  EXPECT_EQ(tree.Read("d/z/f.txt"), "cat");
  EXPECT_EQ(tree.Read("e.txt"), "cat");
}

TEST_F(ReplaceUndoTest, AJournalThatCannotBeWrittenLeavesEveryFileAsItWas) {
  tree.Write("blocked", "a file where the journal's folder should be");
  state.journal->folder = tree.Path("blocked/undo");
  RunReplace(state, sink);
  for (const auto& file : sink.summary.replaced) {
    if (file.path == U16(tree.Path("t/none.txt"))) continue;
    EXPECT_EQ(file.outcome.problem, ReplaceProblem::JournalFailed);
  }
  EXPECT_EQ(tree.Read("t/sjis.txt"), sjis);
  EXPECT_EQ(sink.summary.journal.kind, JournalEnd::Kind::NothingKept);
}

TEST_F(ReplaceUndoTest, ARunWithoutAJournalSaysSo) {
  state.journal.reset();
  RunReplace(state, sink);
  EXPECT_EQ(sink.summary.journal.kind, JournalEnd::Kind::NotAsked);
  EXPECT_FALSE(ListKeptRuns(place.folder).size());
}

}  // namespace
}  // namespace trawlscope
