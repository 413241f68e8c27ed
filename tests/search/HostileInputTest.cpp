// Whole runs over trees built to break them: names that look like paths,
// binary files, files that vanish or cannot be read, an XPath that does not
// compile, Search path entries that name nothing.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/files/FileReader.h"
#include "platform/files/NativePath.h"
#include "search/run/ReplaceJob.h"
#include "search/run/SearchJob.h"
#include "support/RecordingSink.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::RecordingSink;
using test::TempTree;
using test::U16;
using Kind = FileReplaceOutcome::Kind;

class HostileInputTest : public testing::Test {
 protected:
  TempTree tree;
  JobState state;
  RecordingSink sink;

  void SetUp() override {
    state.request.searchText = u"needle";
    state.request.caseSensitive = true;
    state.request.includeSubfolders = true;
  }
  void Search(const std::string& relative) {
    state.request.searchPath = U16(tree.Path(relative));
    RunSearch(state, sink);
  }
  void Replace(const std::string& relative, const std::u16string& replacement) {
    state.request.searchPath = U16(tree.Path(relative));
    state.request.replacementText = replacement;
    RunReplace(state, sink);
  }
  std::vector<std::u16string> HitPaths() const {
    std::vector<std::u16string> paths;
    for (const auto& hit : state.hits) paths.push_back(hit.FullPath());
    return paths;
  }
};

TEST_F(HostileInputTest, BackslashInANameNeverLeadsOutOfItsFolder) {
  tree.Write("victim.txt", "needle outside");
  tree.Write("inner/..\\victim.txt", "needle inside");
  tree.Write("inner/a\\b.txt", "needle a-b");
  tree.Write("inner/ends\\", "needle end");
  tree.Write("inner/bs/back\\slash.txt", "needle back");

  Search("inner");
  ASSERT_EQ(state.hits.size(), 4u);
  for (const auto& hit : state.hits) {
    std::string bytes;
    ASSERT_TRUE(ReadWholeFile(ToNativePath(hit.FullPath()), bytes)) << test::U8(hit.FullPath());
    EXPECT_NE(bytes, "needle outside");
  }
  EXPECT_EQ(DisplayPath(state.hits[0].FullPath()), U16(tree.Path("inner/..\\victim.txt")));

  Replace("inner", u"pin");
  ASSERT_EQ(sink.summary.replaced.size(), 4u);
  for (const auto& file : sink.summary.replaced) EXPECT_EQ(file.outcome.kind, Kind::Changed);
  EXPECT_EQ(tree.Read("victim.txt"), "needle outside");
  EXPECT_EQ(tree.Read("inner/..\\victim.txt"), "pin inside");
  EXPECT_EQ(tree.Read("inner/a\\b.txt"), "pin a-b");
  EXPECT_EQ(tree.Read("inner/ends\\"), "pin end");
  EXPECT_EQ(tree.Read("inner/bs/back\\slash.txt"), "pin back");
}

TEST_F(HostileInputTest, BinaryFilesAreCountedNeverSearchedNorRewritten) {
  // This test program holds "needle" among its constants, and many zero bytes.
  std::string program;
  ASSERT_TRUE(ReadWholeFile("/proc/self/exe", program));
  ASSERT_NE(program.find("needle"), std::string::npos);
  tree.Write("t/program", program);
  tree.Write("t/text.txt", "a needle");

  Search("t");
  EXPECT_EQ(state.hits.size(), 1u);
  EXPECT_EQ(sink.summary.binarySkipped, 1u);
  EXPECT_EQ(sink.summary.filesSearched, 1u);

  RecordingSink replaceSink;
  state.request.replacementText = u"pin";
  RunReplace(state, replaceSink);
  EXPECT_EQ(tree.Read("t/program"), program);
  EXPECT_EQ(tree.Read("t/text.txt"), "a pin");
  ASSERT_EQ(replaceSink.summary.replaced.size(), 2u);
  EXPECT_EQ(replaceSink.summary.replaced[0].outcome.kind, Kind::Binary);
  EXPECT_EQ(replaceSink.summary.binarySkipped, 1u);
}

TEST_F(HostileInputTest, FileThatVanishesDuringTheRunIsReportedNotTakenForEmpty) {
  tree.Write("t/1.txt", "needle");
  tree.Write("t/2.txt", "needle");
  state.beforeFile = [&](size_t index, const std::u16string&) {
    if (index == 1) unlink(tree.Path("t/2.txt").c_str());
  };
  Search("t");
  EXPECT_EQ(state.hits.size(), 1u);
  ASSERT_EQ(sink.summary.unreadable.size(), 1u);
  EXPECT_EQ(sink.summary.unreadable[0].path, U16(tree.Path("t/2.txt")));
  EXPECT_EQ(sink.summary.unreadable[0].error, ENOENT);

  tree.Write("t/2.txt", "needle");
  RecordingSink replaceSink;
  state.request.replacementText = u"pin";
  RunReplace(state, replaceSink);
  ASSERT_EQ(replaceSink.summary.replaced.size(), 2u);
  const FileReplaceOutcome& gone = replaceSink.summary.replaced[1].outcome;
  EXPECT_EQ(gone.kind, Kind::LeftUnchanged);
  EXPECT_EQ(gone.file, FileError::System(FileStep::Read, ENOENT));
}

TEST_F(HostileInputTest, UnreadableFileIsLeftUnchangedWithTheReason) {
  if (geteuid() == 0) GTEST_SKIP() << "root reads any file";
  tree.Write("t/locked.txt", "needle");
  chmod(tree.Path("t/locked.txt").c_str(), 0);
  Search("t");
  ASSERT_EQ(sink.summary.unreadable.size(), 1u);
  EXPECT_EQ(sink.summary.unreadable[0].error, EACCES);
  RecordingSink replaceSink;
  state.request.replacementText = u"pin";
  RunReplace(state, replaceSink);
  ASSERT_EQ(replaceSink.summary.replaced.size(), 1u);
  EXPECT_EQ(replaceSink.summary.replaced[0].outcome.file, FileError::System(FileStep::Read, EACCES));
  chmod(tree.Path("t/locked.txt").c_str(), 0600);
}

TEST_F(HostileInputTest, XPathThatDoesNotCompileIsSaidOnceAndMarkupIsNeverReplaced) {
  tree.Write("t/doc.xml", "<item>needle</item>\n");
  tree.Write("t/plain.txt", "item needle");
  state.request.searchText = u"item";
  state.request.xpath = u"//*[";

  Search("t");
  ASSERT_EQ(sink.warnings.size(), 1u);
  EXPECT_EQ(sink.warnings[0].kind, RunWarning::Kind::XPathInvalid);
  EXPECT_EQ(sink.warnings[0].xpath.message, "Invalid expression");
  EXPECT_EQ(sink.warnings[0].xpath.position, 4);
  EXPECT_EQ(sink.warnings[0].xpath.expression, "//*[");
  EXPECT_TRUE(sink.summary.xpathRejected);
  EXPECT_EQ(state.hits.size(), 3u);  // the document as plain text, tags included, and the text file

  RecordingSink replaceSink;
  state.request.replacementText = u"ITEM";
  RunReplace(state, replaceSink);
  EXPECT_EQ(tree.Read("t/doc.xml"), "<item>needle</item>\n");
  EXPECT_EQ(tree.Read("t/plain.txt"), "ITEM needle");
  ASSERT_EQ(replaceSink.summary.replaced.size(), 2u);
  EXPECT_EQ(replaceSink.summary.replaced[0].outcome.kind, Kind::LeftUnchanged);
}

TEST_F(HostileInputTest, XPathThatCannotBeEvaluatedLeavesTheDocumentAlone) {
  // Compiles, but the prefix is bound nowhere: evaluation fails.
  tree.Write("t/doc.xml", "<item>needle</item>\n");
  state.request.xpath = u"//nowhere:item";
  state.request.replacementText = u"pin";
  Replace("t", u"pin");
  EXPECT_TRUE(sink.warnings.empty());
  EXPECT_EQ(tree.Read("t/doc.xml"), "<item>needle</item>\n");
  ASSERT_EQ(sink.summary.replaced.size(), 1u);
  EXPECT_EQ(sink.summary.replaced[0].outcome.kind, Kind::LeftUnchanged);
}

TEST_F(HostileInputTest, SearchPathEntriesThatNameNothingAreSaidAndTheRestIsSearched) {
  tree.Write("there/a.txt", "needle");
  state.request.searchPath = u"\"" + U16(tree.Path("there")) + u"\" \"" + U16(tree.Path("gone")) +
                             u"\" \"" + U16(tree.Path("there/*.none")) + u"\"";
  RunSearch(state, sink);
  ASSERT_EQ(sink.warnings.size(), 1u);
  EXPECT_EQ(sink.warnings[0].kind, RunWarning::Kind::PathsNotListed);
  EXPECT_EQ(sink.warnings[0].paths,
            (std::vector<UnlistedPath>{{U16(tree.Path("gone"))}, {U16(tree.Path("there/*.none"))}}));
  EXPECT_EQ(state.hits.size(), 1u);
}

}  // namespace
}  // namespace trawlscope
