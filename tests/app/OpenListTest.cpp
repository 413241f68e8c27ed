// The open result list across runs: searched again (F5), it stays on screen
// until the new one is whole, and an abort leaves it as it was; the list of a
// stopped search says, before a replace, what it left out.
#include <gtest/gtest.h>

#include <algorithm>

#include "support/SearchDialogFixture.h"

namespace trawlscope {
namespace {

using test::SearchDialogTest;

class SearchAgainTest : public SearchDialogTest {
 protected:
  // The list of the three hits of WriteDocs, open; the events from then on.
  void OpenList() {
    WriteDocs();
    SearchDocs();
    ASSERT_NE(view.results, nullptr);
    opened = view.results.get();
    view.events.clear();
  }
  test::FakeResultView* opened = nullptr;
};

TEST_F(SearchAgainTest, TheOldListStaysOnScreenUntilTheNewOneIsWhole) {
  OpenList();
  tree.Write("docs/d.txt", "needle\n");
  size_t shownDuringRun = 0;
  At(u"b.txt", [&] { shownDuringRun = view.results && view.results->held ? view.results->Shown().size() : 0; });
  dialog.OnCommand(Command::SearchAgain);
  EXPECT_EQ(shownDuringRun, 3u);
  EXPECT_EQ(view.results.get(), opened);
  EXPECT_EQ(std::count(view.events.begin(), view.events.end(), "results closed"), 0);
  EXPECT_EQ(opened->held, nullptr);
  EXPECT_EQ(opened->hitsChanged, 1);
  EXPECT_EQ(opened->Shown().size(), 4u);
  EXPECT_EQ(opened->note, u"3 files searched.");
}

TEST_F(SearchAgainTest, AnAbortKeepsTheOldListWholeAndSaysSo) {
  OpenList();
  At(u"b.txt", [&] { dialog.OnCommand(Command::Abort); });
  dialog.OnCommand(Command::SearchAgain);
  EXPECT_TRUE(view.questions.empty());  // no offer of the part found
  EXPECT_EQ(view.results.get(), opened);
  EXPECT_EQ(opened->putBack, 1);
  ASSERT_EQ(opened->Shown().size(), 3u);
  EXPECT_EQ(opened->Shown()[2].FullPath(), Docs("b.txt"));
  EXPECT_EQ(opened->note, u"Searching again was stopped: the list is the one from before.  2 files searched.");

  // The list put back is the one a replace changes.
  At(u"", nullptr);
  opened->replace.edit = u"pin";
  dialog.OnCommand(Command::Replace);
  EXPECT_EQ(tree.Read("docs/b.txt"), "the pin\n");
}

TEST_F(SearchDialogTest, AReplaceOfAStoppedSearchsListNamesTheFilesNotSearched) {
  WriteDocs();
  for (const char* name : {"d.txt", "e.txt", "f.txt"}) tree.Write(std::string("docs/") + name, "needle\n");
  At(u"b.txt", [&] { dialog.OnCommand(Command::Abort); });
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  view.confirmAnswer = false;
  dialog.OnCommand(Command::Replace);
  ASSERT_EQ(view.questions.size(), 2u);
  const std::u16string warning = u"This list is partial: its search was stopped, and only what it found is replaced.\n"
                                 u"Not searched: 4 files, the first of them:\n" +
                                 Docs("b.txt") + u"\n" + Docs("d.txt") + u"\n" + Docs("e.txt");
  const std::u16string& asked = view.questions[1];
  ASSERT_GE(asked.size(), warning.size());
  EXPECT_EQ(asked.substr(asked.size() - warning.size()), warning);

  // A whole list searched again asks without it.
  At(u"", nullptr);
  view.confirmAnswer = true;
  dialog.OnCommand(Command::SearchAgain);
  view.confirmAnswer = false;
  dialog.OnCommand(Command::Replace);
  EXPECT_EQ(view.questions.back().find(u"partial"), std::u16string::npos);
}

}  // namespace
}  // namespace trawlscope
