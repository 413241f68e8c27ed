// A file too large to hold whole is replaced a piece of lines at a time:
// the bytes it leaves are those of a whole-file replace, wherever the pieces
// end, its original is kept for undo, and a fault or an abort half-way
// leaves the original whole with no temporary file beside it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/journal/UndoRun.h"
#include "search/file/FileSearcher.h"
#include "search/replace/FileReplacer.h"
#include "search/review/HitSelection.h"
#include "support/CutShortOps.h"
#include "support/TempTree.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::TempTree;
using test::Transcode;
using test::U16;
using Kind = FileReplaceOutcome::Kind;

struct Pattern {
  std::u16string text;
  std::u16string replacement;
  bool regex = false;
  bool caseSensitive = true;
  bool wholeWord = false;
};

std::unique_ptr<FileSearcher> Prepared(const Pattern& pattern, size_t pieceBytes) {
  auto searcher = std::make_unique<FileSearcher>();
  searcher->Prepare(pattern.regex, pattern.caseSensitive, pattern.text, u"");
  if (pattern.wholeWord) searcher->KeepWholeWordsOnly();
  // Pieces from the first byte on; the default reads small files whole.
  if (pieceBytes > 0) searcher->SetPieceSizes(pieceBytes, 0);
  return searcher;
}

std::string FileCount(const TempTree& tree) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(tree.Root())) ++count;
  return std::to_string(count);
}

// CRLF and LF lines, characters of two to four bytes, hits at a line's
// start and end and at every place a piece of a few bytes can end.
const std::string kLines = "関数の名前\r\n\r\nneedle 関数\n\r\n 関数needle関数\r\r\n" + std::string(20, 'x') +
                           "関数\n\n\nNeedle_one and Needle_two ｱ関数\nend 関数";
// With a character of four UTF-8 bytes, a surrogate pair in UTF-16.
const std::string kText = kLines + "\n\xF0\x9F\x98\x80関数\xF0\x9F\x98\x80";

TEST(ReplaceInPieces, EveryPieceSizeLeavesTheBytesOfTheWholeFileReplace) {
  const struct {
    const char* encoding;
    std::string mark;
    Pattern pattern;
    std::string text = kText;
  } cases[] = {
      {"UTF-8", "", {u"関数", u"函数"}},
      {"UTF-8", "\xEF\xBB\xBF", {u"関数", u"x"}},
      {"UTF-8", "", {u"NEEDLE", u"針", false, false}},
      {"UTF-8", "", {u"needle", u"pin", false, true, true}},
      {"UTF-8", "", {u"(Needle)_(\\w+)", u"$2_$1", true}},
      {"UTF-8", "", {u"^関数|関数$", u"<$&>", true}},
      {"windows-31j", "", {u"関数", u"函数"}, kLines},
      {"UTF-16LE", "\xFF\xFE", {u"関数", u"函数"}},
      // A match may hold a line feed: replaced whole, and still the same bytes.
      {"UTF-8", "", {u"関数\\s+end", u"-", true}},
  };
  for (const auto& c : cases) {
    const std::string bytes = c.mark + Transcode(c.text, c.encoding);
    TempTree tree;
    tree.Write("whole.txt", bytes);
    const AbortFlag never{false};
    const FileReplaceOutcome whole = FileReplacer(*Prepared(c.pattern, 0)).ReplaceInFile(never, U16(tree.Path("whole.txt")),
                                                                          c.pattern.replacement);
    ASSERT_EQ(whole.kind, Kind::Changed) << c.encoding << " " << test::U8(c.pattern.text);
    for (const size_t piece : {1, 2, 3, 5, 8, 13, 64}) {
      SCOPED_TRACE(std::string(c.encoding) + " " + test::U8(c.pattern.text) + " pieces of " + std::to_string(piece));
      tree.Write("p.txt", bytes);
      const FileReplaceOutcome pieces =
          FileReplacer(*Prepared(c.pattern, piece)).ReplaceInFile(never, U16(tree.Path("p.txt")), c.pattern.replacement);
      EXPECT_EQ(pieces.kind, Kind::Changed);
      EXPECT_EQ(pieces.replacements, whole.replacements);
      EXPECT_EQ(tree.Read("p.txt"), tree.Read("whole.txt"));
      EXPECT_EQ(FileCount(tree), "2");
    }
  }
}

TEST(ReplaceInPieces, AFileWithoutAMatchIsNeverWritten) {
  TempTree tree;
  const std::string path = tree.Write("a.txt", kText);
  struct stat before, after;
  stat(path.c_str(), &before);
  const AbortFlag never{false};
  EXPECT_EQ(FileReplacer(*Prepared({u"absent", u"x"}, 4)).ReplaceInFile(never, U16(path), u"x").kind, Kind::Unchanged);
  stat(path.c_str(), &after);
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(before.st_mtim.tv_nsec, after.st_mtim.tv_nsec);
}

// Picked occurrences count units of the whole text, as the search in pieces gave them.
TEST(ReplaceInPieces, OnlyThePickedHitsChange) {
  TempTree tree;
  const std::string bytes = "\xEF\xBB\xBF" + kText;
  const Pattern pattern{u"関数", u"函数"};
  for (const size_t piece : {1, 7, 64}) {
    SCOPED_TRACE(piece);
    tree.Write("a.txt", bytes);
    const auto searcher = Prepared(pattern, piece);
    HitList hits;
    const AbortFlag never{false};
    searcher->SearchFile(never, U16(tree.Path("a.txt")), hits, 4);
    ASSERT_EQ(hits.size(), 8u);
    const HitSelection picked = SelectionOfHits(std::vector<Hit>{hits[1], hits[4], hits[7]});
    ReplaceScope scope;
    scope.only = &picked.files[0];
    EXPECT_EQ(FileReplacer(*searcher).ReplaceInFile(never, U16(tree.Path("a.txt")), u"函数", scope).replacements, 3u);
    std::string expected = bytes;
    for (const size_t i : {7, 4, 1}) {
      const std::u16string before = U16(bytes.substr(3)).substr(0, static_cast<size_t>(hits[i].position));
      expected.replace(3 + test::U8(before).size(), 6, "函数");
    }
    EXPECT_EQ(tree.Read("a.txt"), expected);

    // A pick past the end of the text, as of a file that has changed, leaves it as it is.
    tree.Write("a.txt", bytes);
    SelectedFile beyond{U16(tree.Path("a.txt")), std::nullopt, {{1000, 2, std::nullopt}}};
    scope.only = &beyond;
    const FileReplaceOutcome outcome = FileReplacer(*searcher).ReplaceInFile(never, U16(tree.Path("a.txt")), u"函数", scope);
    EXPECT_EQ(outcome.problem, ReplaceProblem::OccurrenceChanged);
    EXPECT_EQ(tree.Read("a.txt"), bytes);
    EXPECT_EQ(FileCount(tree), "1");
  }
}

TEST(ReplaceInPieces, TheJournalKeepsTheOriginalAndUndoPutsItBack) {
  TempTree tree;
  const std::string bytes = "\xEF\xBB\xBF" + kText;
  tree.MakeFolder("t");
  const std::string path = tree.Write("t/a.txt", bytes);
  JournalPlace place{tree.Path("undo")};
  const AbortFlag never{false};
  {
    RunJournal journal(place, RunDescription{});
    ReplaceScope scope;
    scope.journal = &journal;
    EXPECT_EQ(FileReplacer(*Prepared({u"関数", u"函数"}, 5)).ReplaceInFile(never, U16(path), u"函数", scope).kind, Kind::Changed);
    EXPECT_EQ(journal.Finish().kind, JournalEnd::Kind::Kept);
  }
  EXPECT_NE(tree.Read("t/a.txt"), bytes);
  const UndoReport undone = UndoLastRun(place);
  EXPECT_EQ(undone.restored.size(), 1u);
  EXPECT_TRUE(undone.refused.empty());
  EXPECT_EQ(tree.Read("t/a.txt"), bytes);

  // An original past the journal's limit, or whose copy fails, is not
  // kept, and its file not changed.
  const struct {
    std::uint64_t maxBytes;
    bool copyFails;
    ReplaceProblem problem;
  } refusals[] = {{bytes.size() - 1, false, ReplaceProblem::JournalFull}, {bytes.size(), true, ReplaceProblem::JournalFailed}};
  for (const auto& refusal : refusals) {
    place.maxBytes = refusal.maxBytes;
    test::CutShortOps cut(refusal.copyFails ? ".orig" : "no such name", test::CutShortOps::Cut::FullDisk);
    RunJournal journal(place, RunDescription{}, cut);
    ReplaceScope scope;
    scope.journal = &journal;
    EXPECT_EQ(FileReplacer(*Prepared({u"関数", u"函数"}, 5)).ReplaceInFile(never, U16(path), u"函数", scope).problem, refusal.problem);
    EXPECT_EQ(tree.Read("t/a.txt"), bytes);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tree.Path("t")), {}), 1);
  }
}

// Every name of a file of several links sees the new bytes; a write that
// fails half-way into the file itself puts the old ones back.
TEST(ReplaceInPieces, AFileOfSeveralLinksIsRewrittenInPlace) {
  class FailingPWrite final : public test::ForwardingFileOps {
   public:
    bool fail = false;
    ssize_t PWrite(int fd, const void* data, size_t size, off_t offset) override {
      if (fail && offset > 0) {
        fail = false;  // once: putting the old bytes back goes through
        errno = EIO;
        return -1;
      }
      return real_.PWrite(fd, data, size, offset);
    }
  } ops;
  TempTree tree;
  const std::string big = kText + std::string(3u << 20, 'z');  // past one piece of the writer's copy
  const std::string path = tree.Write("a.txt", big);
  ASSERT_EQ(link(path.c_str(), tree.Path("b.txt").c_str()), 0);
  const AbortFlag never{false};
  ReplaceScope scope;
  scope.fileOps = &ops;
  ops.fail = true;
  EXPECT_EQ(FileReplacer(*Prepared({u"関数", u"函数"}, 64)).ReplaceInFile(never, U16(path), u"函数", scope).problem,
            ReplaceProblem::File);
  EXPECT_FALSE(ops.fail);
  EXPECT_EQ(tree.Read("b.txt"), big);
  EXPECT_EQ(FileReplacer(*Prepared({u"関数", u"函数"}, 64)).ReplaceInFile(never, U16(path), u"函数", scope).replacements, 8u);
  EXPECT_EQ(tree.Read("b.txt").substr(0, 6), "函数");
  EXPECT_EQ(tree.Read("b.txt"), tree.Read("a.txt"));
  EXPECT_EQ(FileCount(tree), "2");
}

void AppendTo(const std::string& path, const char* line) {
  FILE* file = std::fopen(path.c_str(), "a");
  std::fputs(line, file);
  std::fclose(file);
}

// The real calls, but a chosen one goes wrong after some writes have gone through.
class FaultAfterWrites final : public test::ForwardingFileOps {
 public:
  enum class Fault { DiskFull, Abort, FileEdited };
  FaultAfterWrites(Fault fault, int passWrites, AbortFlag& abort, std::string file)
      : fault_(fault), passWrites_(passWrites), abort_(abort), file_(std::move(file)) {}
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (passWrites_-- > 0) return real_.Write(fd, data, size);
    switch (fault_) {
      case Fault::DiskFull: errno = ENOSPC; return -1;
      case Fault::Abort: abort_ = true; break;
      case Fault::FileEdited:
        if (passWrites_ == -1) AppendTo(file_, "edited\n");
        break;
    }
    return real_.Write(fd, data, size);
  }

 private:
  Fault fault_;
  int passWrites_;
  AbortFlag& abort_;
  std::string file_;
};

TEST(ReplaceInPieces, AFaultHalfWayLeavesTheOriginalWhole) {
  using Fault = FaultAfterWrites::Fault;
  const struct {
    Fault fault;
    Kind kind;
  } cases[] = {{Fault::DiskFull, Kind::LeftUnchanged}, {Fault::Abort, Kind::Aborted}, {Fault::FileEdited, Kind::LeftUnchanged}};
  for (const auto& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.fault));
    TempTree tree;
    const std::string path = tree.Write("a.txt", kText);
    AbortFlag abort{false};
    FaultAfterWrites ops(c.fault, 3, abort, path);
    ReplaceScope scope;
    scope.fileOps = &ops;
    const FileReplaceOutcome outcome = FileReplacer(*Prepared({u"関数", u"函数"}, 4)).ReplaceInFile(abort, U16(path), u"函数", scope);
    EXPECT_EQ(outcome.kind, c.kind);
    EXPECT_EQ(tree.Read("a.txt"), c.fault == Fault::FileEdited ? kText + "edited\n" : kText);
    EXPECT_EQ(FileCount(tree), "1");
  }
}

}  // namespace
}  // namespace trawlscope
