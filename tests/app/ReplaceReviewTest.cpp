// A replace the user can aim and take back, as the main dialog's logic runs
// it: the question before it, the selected rows only, the summary after it
// and the undo, over real files and a real journal in a temporary folder.
#include <gtest/gtest.h>

#include "support/SearchDialogFixture.h"
#include "support/Transcode.h"

namespace trawlscope {
namespace {

using test::SearchDialogTest;
using test::Texts;

class ReplaceReviewTest : public SearchDialogTest {
 protected:
  const HitList& Hits() { return view.results->hits; }
  void Select(std::initializer_list<size_t> rows) {
    view.results->selected.clear();
    for (const size_t row : rows) view.results->selected.push_back(Hits()[row]);
  }
  bool UndoEnabled() const {
    const auto it = view.enabled.find(ControlId::UndoLastReplace);
    return it != view.enabled.end() && it->second;
  }
  bool Contains(const std::u16string& text, std::u16string_view part) const {
    return text.find(part) != std::u16string::npos;
  }
};

TEST_F(ReplaceReviewTest, SelectedRowsAreTheOnlyOccurrencesReplacedAndTheRunCanBeUndone) {
  WriteDocs();
  dialog.OnInitDialog();
  EXPECT_FALSE(UndoEnabled());  // nothing kept yet
  SearchDocs();
  view.results->replace.edit = u"pin";
  Select({1});  // the second line of a.txt
  dialog.OnCommand(Command::ReplaceSelected);
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_TRUE(Contains(view.questions[0], u"Replace the selected 1 occurrence in 1 file with \"pin\"?"));
  EXPECT_TRUE(Contains(view.questions[0], u"It can be undone afterwards"));
  EXPECT_EQ(tree.Read("docs/a.txt"), "one needle two\npin\n");
  EXPECT_EQ(tree.Read("docs/b.txt"), "the needle\n");
  EXPECT_EQ(view.summaries,
            (Texts{u"Replaced 1 occurrence in 1 file. Written in UTF-8 (65001): 1 file.\n\nThis replace can be undone."}));
  EXPECT_TRUE(UndoEnabled());

  dialog.OnCommand(Command::UndoLastReplace);
  ASSERT_EQ(view.questions.size(), 2u);
  EXPECT_TRUE(Contains(view.questions[1], u"(\"needle\" with \"pin\", 1 file)?"));
  EXPECT_EQ(tree.Read("docs/a.txt"), "one needle two\nneedle\n");
  EXPECT_EQ(view.messages.back(), u"Put back 1 file.");
  EXPECT_FALSE(UndoEnabled());
}

// The list shows the files as they are: searched again after a replace, after
// its undo, and when asked (F5), with the list's own search whatever the inputs say.
TEST_F(ReplaceReviewTest, TheListIsSearchedAgainAfterAReplaceAfterItsUndoAndOnF5) {
  WriteDocs();
  SearchDocs();
  ASSERT_EQ(Hits().size(), 3u);
  view.results->replace.edit = u"pin";
  Select({1});
  dialog.OnCommand(Command::ReplaceSelected);
  view.RunDeferred();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(Hits().size(), 2u);
  dialog.OnCommand(Command::UndoLastReplace);
  view.RunDeferred();
  EXPECT_EQ(Hits().size(), 3u);
  tree.Write("docs/b.txt", "needle needle\n");
  view.ComboOf(ControlId::SearchFor).edit = u"something else";
  dialog.OnCommand(Command::SearchAgain);
  EXPECT_EQ(Hits().size(), 4u);
}

// The search text typed since the search does not change what the picked rows are.
TEST_F(ReplaceReviewTest, SelectedRowsAreReplacedUnderTheSearchThatFoundThem) {
  tree.Write("docs/a.txt", "id_one id_two\n");
  view.checked[ControlId::Regex] = true;
  view.checked[ControlId::CaseSensitive] = true;
  SearchDocs(u"id_(\\w+)");
  ASSERT_EQ(Hits().size(), 2u);
  view.ComboOf(ControlId::SearchFor).edit = u"something else";
  view.results->replace.edit = u"$1_id";
  Select({1});
  dialog.OnCommand(Command::ReplaceSelected);
  EXPECT_EQ(tree.Read("docs/a.txt"), "id_one two_id\n");
}

TEST_F(ReplaceReviewTest, FileEditedSinceTheSearchIsLeftAsItIs) {
  WriteDocs();
  SearchDocs();
  tree.Write("docs/a.txt", "one needle two\nneedle!\n");
  view.results->replace.edit = u"pin";
  Select({0, 2});
  dialog.OnCommand(Command::ReplaceSelected);
  EXPECT_EQ(tree.Read("docs/a.txt"), "one needle two\nneedle!\n");
  EXPECT_EQ(tree.Read("docs/b.txt"), "the pin\n");
  ASSERT_EQ(view.summaries.size(), 1u);
  EXPECT_TRUE(Contains(view.summaries[0], u"Replaced 1 occurrence in 1 file."));
  EXPECT_TRUE(Contains(view.summaries[0], Docs("a.txt") + u": it changed since the search"));
}

TEST_F(ReplaceReviewTest, UndoFromTheSummaryPutsBackEveryEncodingByteForByte) {
  const std::string japanese = "漢字の needle と かな needle\r\n";
  const std::string sjis = test::Transcode(japanese, "windows-31j");
  const std::string eucjp = test::Transcode(japanese, "EUC-JP");
  const std::string utf16 = "\xFF\xFE" + test::Transcode(japanese, "UTF-16LE");
  tree.Write("docs/sjis.txt", sjis);
  tree.Write("docs/euc.txt", eucjp);
  tree.Write("docs/utf16.txt", utf16);
  tree.Write("docs/utf8.txt", japanese);
  SearchDocs();
  ASSERT_EQ(Hits().size(), 8u);
  view.results->replace.edit = u"針";
  view.undoAnswer = true;
  dialog.OnCommand(Command::Replace);
  ASSERT_EQ(view.undoOffered, std::vector<bool>{true});
  EXPECT_EQ(view.messages.back(), u"Put back 4 files.");
  EXPECT_EQ(tree.Read("docs/sjis.txt"), sjis);
  EXPECT_EQ(tree.Read("docs/euc.txt"), eucjp);
  EXPECT_EQ(tree.Read("docs/utf16.txt"), utf16);
  EXPECT_EQ(tree.Read("docs/utf8.txt"), japanese);
}

TEST_F(ReplaceReviewTest, UndoLeavesAFileEditedSinceTheReplaceAndOffersItsOriginalBesideIt) {
  WriteDocs();
  SearchDocs();
  view.results->replace.edit = u"pin";
  dialog.OnCommand(Command::Replace);
  tree.Write("docs/b.txt", "the pin, edited\n");
  dialog.OnCommand(Command::UndoLastReplace);
  EXPECT_EQ(tree.Read("docs/a.txt"), "one needle two\nneedle\n");
  EXPECT_EQ(tree.Read("docs/b.txt"), "the pin, edited\n");
  EXPECT_EQ(view.questions.back(), u"Put back 1 file.\n\nThese files were left as they are:\n" + Docs("b.txt") +
                                       u": it changed since the replace\n\nTheir originals are still kept with the "
                                       u"replace.\n\nPut the kept originals of 1 file beside them, each as a new file "
                                       u"named after it with \".original\"? Nothing is overwritten.");
  EXPECT_EQ(view.messages.back(), u"Wrote the originals of 1 file beside them:\n" + Docs("b.txt.original"));
  EXPECT_EQ(tree.Read("docs/b.txt.original"), "the needle\n");
}

TEST_F(ReplaceReviewTest, CancelOfTheUndoQuestionChangesNothing) {
  WriteDocs();
  SearchDocs();
  view.results->replace.edit = u"pin";
  dialog.OnCommand(Command::Replace);
  view.confirmAnswer = false;
  dialog.OnCommand(Command::UndoLastReplace);
  EXPECT_EQ(tree.Read("docs/a.txt"), "one pin two\npin\n");
  EXPECT_TRUE(UndoEnabled());
}

TEST_F(ReplaceReviewTest, WithTheJournalTurnedOffTheQuestionSaysItCannotBeUndone) {
  settings.WriteInt(settings::kUndo, settings::kRuns, 0);
  WriteDocs();
  SearchDocs();
  view.results->replace.edit = u"pin";
  dialog.OnCommand(Command::Replace);
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_TRUE(Contains(view.questions[0], u"This cannot be undone: the undo journal is turned off."));
  EXPECT_EQ(view.undoOffered, std::vector<bool>{false});
  EXPECT_EQ(view.summaries[0], u"Replaced 3 occurrences in 2 files. Written in UTF-8 (65001): 2 files.\n\nThis replace cannot be undone.");
  EXPECT_FALSE(UndoEnabled());
}

TEST_F(ReplaceReviewTest, UndoWithNothingKeptSaysSo) {
  dialog.OnCommand(Command::UndoLastReplace);
  EXPECT_EQ(view.messages, (Texts{u"There is no replace to undo."}));
}

}  // namespace
}  // namespace trawlscope
