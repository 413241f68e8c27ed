// Replacing in real files: every mode, every kind of file, and the bytes
// outside the occurrences checked one by one.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "search/file/FileSearcher.h"
#include "search/replace/FileReplacer.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;
using Kind = FileReplaceOutcome::Kind;
using namespace std::string_literals;

class ReplaceInFileTest : public testing::Test {
 protected:
  TempTree tree;
  AbortFlag abort{false};

  FileReplaceOutcome Replace(const std::string& relative, const std::u16string& pattern,
                             const std::u16string& replacement, bool useRegex = false,
                             bool caseSensitive = true) {
    FileSearcher searcher;
    searcher.Prepare(useRegex, caseSensitive, pattern, u"");
    return FileReplacer(searcher).ReplaceInFile(abort, U16(tree.Path(relative)), replacement);
  }
};

TEST_F(ReplaceInFileTest, LiteralModesResumeAfterTheInsertedText) {
  tree.Write("a.txt", "a");
  EXPECT_EQ(Replace("a.txt", u"A", u"aa", false, false).replacements, 1u);
  EXPECT_EQ(tree.Read("a.txt"), "aa");
  tree.Write("b.txt", "x-x-x");
  EXPECT_EQ(Replace("b.txt", u"x", u"xx").replacements, 3u);
  EXPECT_EQ(tree.Read("b.txt"), "xx-xx-xx");
}

TEST_F(ReplaceInFileTest, DollarDigitIsLiteralUnlessTheOptionIsOn) {
  tree.Write("a.txt", "key=value");
  Replace("a.txt", u"key", u"$1$&");
  EXPECT_EQ(tree.Read("a.txt"), "$1$&=value");
  tree.Write("b.txt", "key=value");
  Replace("b.txt", u"(\\w+)=(\\w+)", u"$2=$1 ($&) $$", true);
  EXPECT_EQ(tree.Read("b.txt"), "value=key (key=value) $");
}

TEST_F(ReplaceInFileTest, CaseInsensitiveReplaceSeesPastNul) {
  tree.Write("n.txt", std::string("Word\0word", 9));
  EXPECT_EQ(Replace("n.txt", u"WORD", u"x", false, false).replacements, 2u);
  EXPECT_EQ(tree.Read("n.txt"), std::string("x\0x", 3));
}

TEST_F(ReplaceInFileTest, RegexReplaceChangesWhatTheSearchLists) {
  tree.Write("r.txt", "aaa\naa");
  EXPECT_EQ(Replace("r.txt", u"^a", u"b", true).replacements, 2u);
  EXPECT_EQ(tree.Read("r.txt"), "baa\nba");
}

TEST_F(ReplaceInFileTest, NothingMatchedMeansNothingWritten) {
  const std::string path = tree.Write("same.txt", "\xFF\xFE broken bytes \x80");
  struct stat before, after;
  stat(path.c_str(), &before);
  EXPECT_EQ(Replace("same.txt", u"absent", u"x").kind, Kind::Unchanged);
  stat(path.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

TEST_F(ReplaceInFileTest, EncodingsMarksAndLineEndsComeBackAsTheyWere) {
  const std::string text = "一行目\r\n名前は\n三行目の名前\r終わり";
  const std::string replaced = "一行目\r\nなまえは\n三行目のなまえ\r終わり";
  const struct {
    const char* name;
    const char* converter;
    std::string mark;
  } files[] = {
      {"sjis.txt", "windows-31j", ""},        {"euc.txt", "EUC-JP", ""},
      {"jis.txt", "ISO-2022-JP", ""},         {"utf8.txt", "UTF-8", ""},
      {"utf8bom.txt", "UTF-8", "\xEF\xBB\xBF"}, {"le.txt", "UTF-16LE", "\xFF\xFE"},
      {"be.txt", "UTF-16BE", "\xFE\xFF"},
  };
  for (const auto& file : files) {
    SCOPED_TRACE(file.name);
    tree.Write(file.name, file.mark + Transcode(text, file.converter));
    EXPECT_EQ(Replace(file.name, u"名前", u"なまえ").replacements, 2u);
    EXPECT_EQ(tree.Read(file.name), file.mark + Transcode(replaced, file.converter));
  }
}

TEST_F(ReplaceInFileTest, BytesOutsideTheOccurrencesStayEvenWhenTheyWouldNotRoundTrip) {
  // NEC "≒" (87 90) decodes to U+2252, which CP932 writes as 81 E0; an
  // invalid byte 0xFF decodes to U+FFFD. Neither may change.
  const std::string prose = Transcode(test::kJapaneseSentence, "windows-31j");
  tree.Write("nec.txt", prose + "\x87\x90 " + Transcode("名前", "windows-31j") + " \xFF end");
  ASSERT_EQ(Replace("nec.txt", u"名前", u"氏名").replacements, 2u);
  const std::string changedProse = Transcode(
      std::string(test::kJapaneseSentence).replace(std::string(test::kJapaneseSentence).find("名前"),
                                                   6, "氏名"),
      "windows-31j");
  EXPECT_EQ(tree.Read("nec.txt"),
            changedProse + "\x87\x90 " + Transcode("氏名", "windows-31j") + " \xFF end");

  // The literal operator keeps the embedded NULs and takes no more bytes than
  // the literal holds.
  tree.Write("bin.dat", "\x00\x01\x02 marker \xFE\xFF\x00"s);
  Replace("bin.dat", u"marker", u"MARKER");
  EXPECT_EQ(tree.Read("bin.dat"), "\x00\x01\x02 MARKER \xFE\xFF\x00"s);
}

TEST_F(ReplaceInFileTest, CharacterThePageCannotHoldLeavesTheFileAndSaysWhich) {
  const std::string bytes = Transcode("名前です", "windows-31j");
  tree.Write("s.txt", bytes);
  const auto outcome = Replace("s.txt", u"名前", u"€uro");
  EXPECT_EQ(outcome.kind, Kind::LeftUnchanged);
  EXPECT_EQ(outcome.problem, ReplaceProblem::CodePageCannotHold);
  EXPECT_EQ(outcome.character, U'€');
  EXPECT_EQ(outcome.codePage, 932u);
  EXPECT_EQ(tree.Read("s.txt"), bytes);
}

TEST_F(ReplaceInFileTest, ReadOnlyFileIsReported) {
  const std::string path = tree.Write("ro.txt", "abc");
  chmod(path.c_str(), 0444);
  const auto outcome = Replace("ro.txt", u"b", u"x");
  EXPECT_EQ(outcome.kind, Kind::LeftUnchanged);
  EXPECT_EQ(outcome.file, FileError::Refused(FileRefusal::ReadOnly));
  EXPECT_EQ(tree.Read("ro.txt"), "abc");
}

TEST_F(ReplaceInFileTest, ReadOnlyFolderIsReported) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  tree.Write("ro/a.txt", "abc");
  chmod(tree.Path("ro").c_str(), 0555);
  const auto outcome = Replace("ro/a.txt", u"b", u"x");
  EXPECT_EQ(outcome.kind, Kind::LeftUnchanged);
  EXPECT_EQ(tree.Read("ro/a.txt"), "abc");
}

TEST_F(ReplaceInFileTest, SymbolicLinkAndHardLinkKeepWhatTheyAre) {
  tree.Write("real.txt", "abc");
  ASSERT_EQ(symlink(tree.Path("real.txt").c_str(), tree.Path("soft.txt").c_str()), 0);
  ASSERT_EQ(link(tree.Path("real.txt").c_str(), tree.Path("hard.txt").c_str()), 0);
  const FileReplaceOutcome refused = Replace("soft.txt", u"b", u"x");
  EXPECT_EQ(refused.file, FileError::Refused(FileRefusal::SymbolicLink));
  EXPECT_EQ(tree.Read("real.txt"), "abc");
  FileSearcher searcher;
  searcher.Prepare(false, true, u"b", u"");
  ReplaceScope throughLinks;
  throughLinks.links = Links::Followed;
  EXPECT_EQ(FileReplacer(searcher).ReplaceInFile(abort, U16(tree.Path("soft.txt")), u"x", throughLinks).kind, Kind::Changed);
  EXPECT_EQ(tree.Read("hard.txt"), "axc");
  struct stat info;
  ASSERT_EQ(lstat(tree.Path("soft.txt").c_str(), &info), 0);
  EXPECT_TRUE(S_ISLNK(info.st_mode));
}

TEST_F(ReplaceInFileTest, AbortedBeforeReadingNeverWrites) {
  tree.Write("a.txt", "abc");
  abort = true;
  EXPECT_EQ(Replace("a.txt", u"b", u"x").kind, Kind::Aborted);
  EXPECT_EQ(tree.Read("a.txt"), "abc");
}

}  // namespace
}  // namespace trawlscope
