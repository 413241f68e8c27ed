// Code pages in the user's hands, as the main dialog's logic handles them:
// "Read files as", a file read again from its row, and a replacement some
// files' pages cannot hold, said before anything is written.
#include <gtest/gtest.h>

#include "support/ArchiveMaker.h"
#include "support/SearchDialogFixture.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::SearchDialogTest;
using test::Transcode;

class CodePageReviewTest : public SearchDialogTest {
 protected:
  const HitList& Hits() { return view.results->hits; }
  static bool Contains(const std::u16string& text, std::u16string_view part) {
    return text.find(part) != std::u16string::npos;
  }
};

// The whole flow of a wrong page: the run is read as EUC-JP (as stored), the
// Shift_JIS file is marked and counted, its row reads it as Shift_JIS, the
// count goes, and a replace writes it back in Shift_JIS.
TEST_F(CodePageReviewTest, AWrongPageIsCountedFixedFromItsRowAndWrittenBackInIt) {
  settings.WriteInt(settings::kCodePage, settings::kReadAs, 51932);
  tree.Write("docs/a.txt", "id first\n");
  tree.Write("docs/b.txt", Transcode("id この関数\n", "Shift_JIS"));
  dialog.OnInitDialog();
  EXPECT_EQ(view.readAs, codepage::kEucJp);
  SearchDocs(u"id");
  ASSERT_EQ(Hits().size(), 2u);
  EXPECT_TRUE(Contains(view.results->note, u"1 file had bytes its code page could not read."));

  view.results->readAs = {Docs("b.txt"), codepage::kShiftJis};
  dialog.OnCommand(Command::ReadFileAs);
  EXPECT_EQ(view.results->hitsChanged, 1);
  ASSERT_EQ(Hits().size(), 2u);
  EXPECT_EQ(Hits()[1].FileCodePage(), codepage::kShiftJis);
  EXPECT_EQ(Hits()[1].RightContext(), u" この関数\n");
  EXPECT_FALSE(Contains(view.results->note, u"could not read"));

  view.results->replace.edit = u"関数";
  dialog.OnCommand(Command::Replace);
  EXPECT_TRUE(Contains(view.questions.back(), u"Code pages: EUC-JP (51932): 1 file, Shift_JIS (932): 1 file."));
  EXPECT_EQ(tree.Read("docs/b.txt"), Transcode("関数 この関数\n", "Shift_JIS"));
  EXPECT_EQ(tree.Read("docs/a.txt"), Transcode("関数 first\n", "EUC-JP"));
  // A new search starts with no page chosen for single files.
  SearchDocs(u"first");
  EXPECT_EQ(Hits()[0].FileCodePage(), codepage::kEucJp);
  EXPECT_EQ(dialog.State().fileCodePages.size(), 0u);
}

TEST_F(CodePageReviewTest, AReplacementSomePagesCannotHoldIsSaidBeforeWritingAndThoseFilesStay) {
  const std::string sjis = Transcode("この関数 id\n", "Shift_JIS");
  tree.Write("docs/a.txt", "id in UTF-8\n");
  tree.Write("docs/b.txt", sjis);
  SearchDocs(u"id");
  view.results->replace.edit = u"😀";
  view.confirmAnswer = false;
  dialog.OnCommand(Command::Replace);
  EXPECT_TRUE(Contains(view.questions.back(),
                       u"'😀' cannot be written in 1 of the 2 files (Shift_JIS (932)): they will be left unchanged."));
  EXPECT_EQ(tree.Read("docs/a.txt"), "id in UTF-8\n");  // nothing written on no

  view.confirmAnswer = true;
  dialog.OnCommand(Command::Replace);
  EXPECT_EQ(tree.Read("docs/a.txt"), "😀 in UTF-8\n");
  EXPECT_EQ(tree.Read("docs/b.txt"), sjis);
  EXPECT_TRUE(Contains(view.summaries.back(), Docs("b.txt") + u": the file's code page, Shift_JIS (932), cannot hold"));
}

// A page that finds nothing leaves the file no row: the list's menu forgets
// the pages chosen, which a search again keeps.
TEST_F(CodePageReviewTest, PagesChosenForFilesAreForgottenFromTheListNotBySearchingAgain) {
  WriteDocs();
  SearchDocs();
  view.results->readAs = {Docs("b.txt"), codepage::kUtf16Le};
  dialog.OnCommand(Command::ReadFileAs);
  EXPECT_EQ(Hits().size(), 2u);
  EXPECT_EQ(view.results->pagesChosen, 1u);
  dialog.OnCommand(Command::SearchAgain);
  EXPECT_EQ(Hits().size(), 2u);
  EXPECT_EQ(view.results->pagesChosen, 1u);
  dialog.OnCommand(Command::ForgetPages);
  EXPECT_EQ(Hits().size(), 3u);
  EXPECT_EQ(view.results->pagesChosen, 0u);
}

// A compressed file is only read: the question says so before the answer,
// not only the summary after it.
TEST_F(CodePageReviewTest, TheQuestionSaysCompressedFilesWillBeLeftAsTheyAre) {
  tree.Write("docs/a.txt", "id here\n");
  test::WriteStream(tree.Path("docs/b.txt.gz"), "gzip", "id there\n");
  Ask(u"id", Docs());
  view.ComboOf(ControlId::FileTypes).edit.clear();
  view.checked[ControlId::Compressed] = true;
  dialog.OnCommand(Command::Search);
  ASSERT_EQ(Hits().size(), 2u);
  view.confirmAnswer = false;
  view.results->replace.edit = u"ID";
  dialog.OnCommand(Command::Replace);
  EXPECT_TRUE(Contains(view.questions.back(),
                       u"1 of the 2 files are inside compressed files, which are only read: they will be left unchanged."));
}

}  // namespace
}  // namespace trawlscope
