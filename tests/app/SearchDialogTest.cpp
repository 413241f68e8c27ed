// The main dialog's logic: searching, messages, settings and the run's windows.
#include "app/SearchDialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <utility>

#include "app/ProgressDisplay.h"
#include "app/SettingsKeys.h"
#include "search/listing/PathHelpers.h"
#include "support/SearchDialogFixture.h"

namespace trawlscope {
namespace {

using test::Events;
using test::kInputs;
using test::SearchDialogTest;
using test::Texts;
using test::U16;

TEST_F(SearchDialogTest, SearchOpensTheResultsOverTheHitsItFound) {
  WriteDocs();
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  const HitList& hits = view.results->hits;
  ASSERT_EQ(hits.size(), 3u);
  EXPECT_EQ(hits[0].FullPath(), Docs("a.txt"));
  EXPECT_EQ(hits[0].line, 1);
  EXPECT_EQ(hits[0].position, 4);
  EXPECT_EQ(hits[0].LeftContext(), u"one ");
  EXPECT_EQ(hits[0].Keyword(), u"needle");
  EXPECT_EQ(hits[0].RightContext(), u" two\nneedle\n");
  EXPECT_EQ(hits[1].line, 2);
  EXPECT_EQ(hits[2].FullPath(), Docs("b.txt"));
  EXPECT_EQ(view.results->note, u"2 files searched.");
  // The preview of a replace repeats this search.
  EXPECT_EQ(view.results->searchRequest.searchText, u"needle");
  EXPECT_EQ(view.events, (Events{"progress opened", "timer started", "timer stopped", "progress closed",
                                 "results opened"}));
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(dialog.IsRunning());
  EXPECT_FALSE(view.waitCursor);
}

TEST_F(SearchDialogTest, ProgressShowsThePhaseTheCounterAndTheFileName) {
  WriteDocs();
  SearchDocs();
  const test::ProgressRecord& shown = view.progressRecord;
  EXPECT_EQ(shown.phases, (Texts{u"Making a list of files...", u"Searching...", u"Searching..."}));
  EXPECT_EQ(shown.ranges, (std::vector<int>{2}));
  EXPECT_EQ(shown.counters, (Texts{u"0/2", u"1/2"}));
  EXPECT_EQ(shown.positions, (std::vector<int>{0, 1}));
  EXPECT_EQ(shown.fileNames, (Texts{u"a.txt", u"b.txt"}));
  EXPECT_EQ(shown.hitCounts, (Texts{u"0", u"2"}));  // the hits of the files before
  EXPECT_EQ(shown.countCaptions, (Texts{u"Hits:", u"Hits:"}));
}

TEST_F(SearchDialogTest, InputsAreDisabledDuringARunAndEnabledAtItsEnd) {
  WriteDocs();
  bool disabledDuringRun = false;
  At(u"b.txt", [&] { disabledDuringRun = InputsAre(false); });
  SearchDocs();
  EXPECT_TRUE(disabledDuringRun);
  EXPECT_TRUE(InputsAre(true));

  view.checked[ControlId::Regex] = true;
  SearchDocs(u"needle(");  // a run that ends before it lists a file
  EXPECT_TRUE(InputsAre(true));
}

// As the result window's status line says them: 25419762 was hard to read at a glance.
TEST(ProgressDisplayTest, CountsAreGroupedAsTheStatusLineGroupsThem) {
  test::ProgressRecord record;
  test::FakeProgressView view(record);
  for (const RunPhase phase : {RunPhase::Searching, RunPhase::Replacing})
    ShowProgress(view, {phase, 1234568, 2000000, 1500, u"a.txt"}, 25419762);
  EXPECT_EQ(record.hitCounts, (Texts{u"25,419,762", u"1,500"}));
  EXPECT_EQ(record.counters, (Texts{u"1,234,567/2,000,000", u"1,234,567/2,000,000"}));
}

TEST_F(SearchDialogTest, TimerShowsTheHitsFoundSoFarWhileTheProgressIsOpen) {
  WriteDocs();
  At(u"b.txt", [&] { dialog.OnTimer(); });
  SearchDocs();
  dialog.OnTimer();  // the progress is closed: nowhere to show it
  EXPECT_EQ(view.progressRecord.hitCounts, (Texts{u"0", u"2", u"2"}));
}

TEST_F(SearchDialogTest, RunNoteCountsTheBinaryFilesSkipped) {
  WriteDocs();
  // An ELF header: zero bytes between others, which no text holds.
  tree.Write("docs/tool.txt", std::string("\x7f" "ELF\x02\x01\x01\0\0\0\0 needle \x03\0\x3e\0", 21));
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->note, u"2 files searched. 1 binary file skipped.");
  EXPECT_EQ(view.results->hits.size(), 3u);
  EXPECT_TRUE(view.messages.empty());
}

TEST_F(SearchDialogTest, FileGoneDuringTheRunIsSaidAndNoted) {
  WriteDocs();
  At(u"b.txt", [&] { std::remove(tree.Path("docs/b.txt").c_str()); });
  SearchDocs();
  EXPECT_EQ(view.messages, (Texts{std::u16string(u"The following files could not be read.") + u"\n" + Docs("b.txt") +
                                  u": No such file or directory"}));
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->hits.size(), 2u);
  EXPECT_EQ(view.results->note, u"1 file searched. 1 file could not be read.");
  // The message comes after the results, over them.
  EXPECT_EQ(view.events.back(), "message");
}

TEST_F(SearchDialogTest, ExpressionThatDoesNotCompileIsSaidAndOpensNoResults) {
  WriteDocs();
  view.checked[ControlId::Regex] = true;
  SearchDocs(u"need(le");
  EXPECT_EQ(view.messages, (Texts{u"The regular expression has an error."}));
  // The library's own description, with the place in the pattern, goes in the box's detail.
  ASSERT_EQ(view.details.size(), 1u);
  EXPECT_NE(view.details[0].find(u"Unmatched marking parenthesis"), std::u16string::npos) << test::U8(view.details[0]);
  EXPECT_NE(view.details[0].find(u"(at offset 7: need(le>>>HERE>>>)"), std::u16string::npos);
  EXPECT_EQ(view.results, nullptr);
  EXPECT_TRUE(view.progressRecord.fileNames.empty());
  EXPECT_EQ(view.events, (Events{"progress opened", "timer started", "message", "timer stopped", "progress closed"}));
}

TEST_F(SearchDialogTest, XPathThatDoesNotCompileIsSaidAndTheSearchGoesOn) {
  WriteDocs();
  view.ComboOf(ControlId::XPath).edit = u"//[";
  SearchDocs();
  ASSERT_EQ(view.messages.size(), 1u);
  const std::u16string lead = std::u16string(u"The XPath has an error.") + u"\n";
  EXPECT_EQ(view.messages[0].substr(0, lead.size()), lead);
  EXPECT_GT(view.messages[0].size(), lead.size());  // the library's own description follows
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->hits.size(), 3u);
}

// A Search path that names nothing is an error said before any run, with
// the focus where it can be mended; with some of it found, the rest is
// searched only when the user says so, and what was said is not said again.
TEST_F(SearchDialogTest, SearchPathEntriesThatDoNotExistAreNamedBeforeAnyRun) {
  WriteDocs();
  const std::u16string gone = u"The following paths were not found.\n" + Docs("gone.txt");
  const std::u16string alsoGone = gone + u"\n" + Docs("none/*.txt");
  const struct {
    std::u16string path;
    bool answer;
    Texts errors, questions;
    bool runs;
  } cases[] = {
      {u"\"" + Docs("gone.txt") + u"\" \"" + Docs("none/*.txt") + u"\"", true, {alsoGone}, {}, false},
      {u"\"" + Docs("b.txt") + u"\" \"" + Docs("gone.txt") + u"\"", false, {}, {gone + u"\n\nSearch only the paths that were found?"}, false},
      {u"\"" + Docs("b.txt") + u"\" \"" + Docs("gone.txt") + u"\"", true, {}, {gone + u"\n\nSearch only the paths that were found?"}, true},
  };
  for (const auto& c : cases) {
    view.messages.clear();
    view.questions.clear();
    view.events.clear();
    view.focused.reset();
    view.confirmAnswer = c.answer;
    Ask(u"needle", c.path);
    dialog.OnEnter();
    EXPECT_EQ(view.messages, c.errors) << test::U8(c.path);
    EXPECT_EQ(view.questions, c.questions);
    EXPECT_EQ(view.results != nullptr, c.runs);
    if (c.runs) {
      ASSERT_EQ(view.results->hits.size(), 1u);
      EXPECT_EQ(view.results->hits[0].FullPath(), Docs("b.txt"));
    } else {
      EXPECT_EQ(view.events, c.errors.empty() ? Events{} : Events{"error"});
      EXPECT_EQ(view.focused, ControlId::SearchPath);
    }
  }
  // A device is no missing path: the run says what it is.
  view.messages.clear();
  Ask(u"needle", u"\"" + Docs("b.txt") + u"\" \"/dev/null\"");
  dialog.OnCommand(Command::Search);
  EXPECT_EQ(view.messages, (Texts{u"The following paths are neither files nor folders and were not searched."
                                  u"\n/dev/null: a device"}));
}

TEST_F(SearchDialogTest, ReplaceTakesTheResultViewsTextAndRewritesTheFiles) {
  WriteDocs();
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  view.results->replace.edit = u"pin";
  view.events.clear();
  dialog.OnCommand(Command::Replace);
  EXPECT_EQ(tree.Read("docs/a.txt"), "one pin two\npin\n");
  EXPECT_EQ(tree.Read("docs/b.txt"), "the pin\n");
  EXPECT_EQ(tree.Read("docs/c.log"), "needle\n");
  EXPECT_EQ(view.progressRecord.phases.back(), u"Replacing...");
  // The results of the search no longer match the files: they close and stay closed.
  EXPECT_EQ(view.events, (Events{"progress opened", "timer started", "results closed", "timer stopped",
                                 "progress closed", "summary"}));
  EXPECT_EQ(view.progressRecord.countCaptions.back(), u"Files changed:");
  EXPECT_EQ(view.progressRecord.hitCounts.back(), u"1");  // a.txt was changed before b.txt's turn
  // A clean run says what it did too, and offers to take it back.
  EXPECT_EQ(view.summaries, (Texts{u"Replaced 3 occurrences in 2 files. Written in UTF-8 (65001): 2 files.\n\nThis replace can be undone."}));
  EXPECT_EQ(view.undoOffered, std::vector<bool>{true});
  EXPECT_TRUE(view.messages.empty());
  EXPECT_TRUE(InputsAre(true));
}

TEST_F(SearchDialogTest, ReplaceSaysTheFilesItLeftUnchanged) {
  WriteDocs();
  SearchDocs();
  view.results->replace.edit = u"pin";
  At(u"b.txt", [&] { std::remove(tree.Path("docs/b.txt").c_str()); });
  dialog.OnCommand(Command::Replace);
  EXPECT_EQ(tree.Read("docs/a.txt"), "one pin two\npin\n");
  ASSERT_EQ(view.summaries.size(), 1u);
  const std::u16string lead = std::u16string(u"Replaced 2 occurrences in 1 file. Written in UTF-8 (65001): 1 file.\n\nThe following files could not be changed.") +
                              u"\n" + Docs("b.txt") + u": ";
  EXPECT_EQ(view.summaries[0].substr(0, lead.size()), lead);
}

TEST_F(SearchDialogTest, AbortSaysWhatWasDoneAndOpensResultsOnlyWhenAsked) {
  WriteDocs();
  At(u"b.txt", [&] { dialog.OnCommand(Command::Abort); });
  view.confirmAnswer = false;
  SearchDocs();
  EXPECT_EQ(view.progressRecord.fileNames, (Texts{u"a.txt", u"b.txt"}));
  ASSERT_EQ(view.questions.size(), 1u);
  // How many were listed by then is the listing's own pace.
  EXPECT_EQ(view.questions[0].substr(0, 17), u"Stopped after 2 o");
  EXPECT_NE(view.questions[0].find(u" files; 2 occurrences found.\n\nShow what was found so far?"), std::u16string::npos);
  EXPECT_EQ(view.results, nullptr);
  EXPECT_EQ(view.progress, nullptr);
  EXPECT_TRUE(InputsAre(true));
  view.confirmAnswer = true;
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->note.substr(0, 14), u"Stopped early:");

  At(u"", nullptr);
  SearchDocs();  // the next run starts with the flag down
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->hits.size(), 3u);
}

TEST_F(SearchDialogTest, CloseProgressCommandClosesItAndEnablesTheInputsWhileTheRunGoesOn) {
  WriteDocs();
  At(u"a.txt", [&] { dialog.OnCommand(Command::CloseProgress); });
  SearchDocs();
  EXPECT_EQ(view.progressRecord.fileNames, (Texts{u"a.txt"}));  // later reports reach no window
  EXPECT_TRUE(InputsAre(true));
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->hits.size(), 3u);
}

TEST_F(SearchDialogTest, ExportWritesTheHitsToTheChosenFile) {
  tree.Write("docs/a.txt", "x\tneedle\r\ny\n");
  SearchDocs();
  chooser.output = U16(tree.Path("out.txt"));
  chooser.format = ExportFormat::Tabbed;
  dialog.OnCommand(Command::Export);
  const std::u16string record = u"a.txt\tx\u3000\tneedle\t\u3000y\u3000\n";
  std::string expected = "\xFF\xFE";
  for (const char16_t unit : record) expected += {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
  EXPECT_EQ(tree.Read("out.txt"), expected);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(view.waitCursor);
}

// A filtered list exports the rows it shows; unless another type is picked, as UTF-8 CSV with full paths.
TEST_F(SearchDialogTest, ExportWritesTheShownRowsAsCsvByDefault) {
  tree.Write("docs/a.txt", "needle one\nneedle two\n");
  SearchDocs();
  const HitList& hits = view.results->hits;
  view.results->shown = std::vector<Hit>{hits[1]};
  chooser.output = U16(tree.Path("out.csv"));
  dialog.OnCommand(Command::Export);
  EXPECT_EQ(tree.Read("out.csv"), "path,line,position,length,code_page,left_context,keyword,right_context\r\n" +
                                      tree.Path("docs/a.txt") + ",2,11,6,65001,\"needle one\n\",needle,\" two\n\"\r\n");
}

TEST_F(SearchDialogTest, ExportCancelledWritesNothingAndSaysNothing) {
  WriteDocs();
  SearchDocs();
  dialog.OnCommand(Command::Export);
  EXPECT_EQ(chooser.outputAsked, 1);
  EXPECT_TRUE(view.messages.empty());
  EXPECT_FALSE(std::filesystem::exists(tree.Path("out.txt")));
}

TEST_F(SearchDialogTest, ExportToAFolderThatDoesNotExistIsSaid) {
  WriteDocs();
  SearchDocs();
  chooser.output = U16(tree.Path("none/out.txt"));
  dialog.OnCommand(Command::Export);
  const std::u16string lead = std::u16string(u"The output file could not be written.") + u"\n" + *chooser.output + u": ";
  ASSERT_EQ(view.messages.size(), 1u);
  EXPECT_EQ(view.messages[0].substr(0, lead.size()), lead);
}

TEST_F(SearchDialogTest, BrowseShowsTheMenu) {
  dialog.OnCommand(Command::Browse);
  EXPECT_EQ(view.events, (Events{"browse menu"}));
}

TEST_F(SearchDialogTest, PickedFilesBecomeTheQuotedSearchPath) {
  WriteDocs();
  test::FakeHistoryCombo& path = view.ComboOf(ControlId::SearchPath);
  path.edit = Docs("a.txt");
  chooser.files = {{u"/x/a b.txt", u"/y/c.txt"}};
  dialog.OnCommand(Command::PickFiles);
  EXPECT_EQ(chooser.startFolders, (Texts{Docs()}));
  EXPECT_EQ(path.edit, u"\"/x/a b.txt\" \"/y/c.txt\"");
  EXPECT_EQ(path.items, (Texts{u"\"/x/a b.txt\" \"/y/c.txt\"", Docs("a.txt")}));

  chooser.files.reset();
  dialog.OnCommand(Command::PickFiles);
  EXPECT_EQ(path.edit, u"\"/x/a b.txt\" \"/y/c.txt\"");
  chooser.files = std::vector<std::u16string>{};
  dialog.OnCommand(Command::PickFiles);
  EXPECT_EQ(path.edit, u"\"/x/a b.txt\" \"/y/c.txt\"");
}

TEST_F(SearchDialogTest, PickedFolderBecomesTheSearchPathAndAnEmptyChoiceIsSaid) {
  test::FakeHistoryCombo& path = view.ComboOf(ControlId::SearchPath);
  const std::u16string old = U16(tree.Path("gone/old"));
  path.edit = old;
  chooser.folder = {true, u"/data/new"};
  dialog.OnCommand(Command::PickFolder);
  EXPECT_EQ(chooser.startFolders, (Texts{old}));  // its folder does not exist: the text as it is
  EXPECT_EQ(path.edit, u"/data/new");
  EXPECT_EQ(path.items, (Texts{u"/data/new", old}));

  chooser.folder = {true, u""};
  dialog.OnCommand(Command::PickFolder);
  EXPECT_EQ(view.messages, (Texts{u"Can't select folder path."}));
  EXPECT_EQ(path.edit, u"/data/new");

  chooser.folder = {false, u"/ignored"};
  dialog.OnCommand(Command::PickFolder);
  EXPECT_EQ(path.edit, u"/data/new");
  EXPECT_EQ(view.messages.size(), 1u);
}

TEST_F(SearchDialogTest, DroppedFilesBecomeTheQuotedSearchPath) {
  dialog.TakeDroppedFiles({u"/a/one.txt", u"/b/two three.txt"});
  EXPECT_EQ(view.ComboOf(ControlId::SearchPath).edit, u"\"/a/one.txt\" \"/b/two three.txt\"");
  dialog.TakeDroppedFiles({});
  EXPECT_EQ(view.ComboOf(ControlId::SearchPath).edit, u"\"/a/one.txt\" \"/b/two three.txt\"");
}

TEST_F(SearchDialogTest, EnterStartsASearchButNotWhileOneRuns) {
  WriteDocs();
  Ask(u"needle", Docs());
  bool asked = false;  // once: a second run, were one started, would ask again
  At(u"a.txt", [&] {
    if (std::exchange(asked, true)) return;
    dialog.OnEnter();
    dialog.OnCommand(Command::Search);
  });
  dialog.OnEnter();
  EXPECT_EQ(runThread.starts, 1);
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->hits.size(), 3u);
}

TEST_F(SearchDialogTest, RunThatCannotStartIsSaidAndLeavesTheDialogUsable) {
  WriteDocs();
  runThread.refuseToStart = true;
  SearchDocs();
  EXPECT_EQ(view.messages, (Texts{u"The search could not be started."}));
  EXPECT_FALSE(dialog.IsRunning());
  EXPECT_EQ(view.progress, nullptr);
  EXPECT_TRUE(InputsAre(true));
}

TEST_F(SearchDialogTest, HistoriesGainWhatEachSearchAskedFor) {
  WriteDocs();
  view.ComboOf(ControlId::XPath).edit = u"//p";
  SearchDocs(u"needle");
  view.ComboOf(ControlId::FileTypes).edit = u"*.log";
  view.ComboOf(ControlId::SearchFor).edit = u"the";
  view.ComboOf(ControlId::XPath).edit = u"";
  dialog.OnCommand(Command::Search);
  EXPECT_EQ(view.ComboOf(ControlId::FileTypes).Sorted(), (Texts{u"*.log", u"*.txt"}));
  EXPECT_EQ(view.ComboOf(ControlId::SearchFor).Sorted(), (Texts{u"needle", u"the"}));
  EXPECT_EQ(view.ComboOf(ControlId::XPath).Sorted(), (Texts{u"//p"}));  // a blank is no history
  EXPECT_EQ(view.ComboOf(ControlId::SearchFor).edit, u"the");
}

// A path typed by hand joins the history as the other combos' texts do, not
// only picked or dropped ones.
TEST_F(SearchDialogTest, SearchPathHistoryGainsEveryFolderSearched) {
  WriteDocs();
  const Texts folders = {Docs("one"), Docs("two"), Docs("three"), Docs("four")};
  for (const char* name : {"one", "two", "three", "four"}) tree.Write("docs/" + std::string(name) + "/x.txt", "needle\n");
  for (const auto& folder : folders) {
    Ask(u"needle", folder);
    dialog.OnCommand(Command::Search);
  }
  Ask(u"needle", Docs());
  dialog.OnCommand(Command::Search);
  Texts expected = folders;
  expected.push_back(Docs());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(view.ComboOf(ControlId::SearchPath).Sorted(), expected);
  EXPECT_EQ(view.ComboOf(ControlId::SearchPath).edit, Docs());
}

// The minimum and the first size cover the controls when the desktop's font
// needs more than the stored floor; a larger stored frame still wins.
TEST_F(SearchDialogTest, MainDialogIsAtLeastAsLargeAsItsControls) {
  view.minimumFrame = {700, 260};
  dialog.OnInitDialog();
  EXPECT_EQ(view.placements, (std::vector<ScreenRect>{{0, 200, 700, 460}}));
  view.minimumFrame = {300, 100};
  dialog.OnInitDialog();
  EXPECT_EQ(view.placements.back(), (ScreenRect{0, 200, 564, 372}));
  tree.Write("trawlscope.ini", "[MainDialog]\nleft=10\ntop=20\nright=900\nbottom=400\n");
  view.minimumFrame = {700, 260};
  dialog.OnInitDialog();
  EXPECT_EQ(view.placements.back(), (ScreenRect{10, 20, 900, 400}));
}

// A folder of folders searched without them finds nothing; the note says why.
TEST_F(SearchDialogTest, AFolderOfFoldersSearchedWithoutThemSaysItsSubfoldersWereNotSearched) {
  tree.Write("docs/sub/a.txt", "needle\n");
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->note,
            u"0 files searched. Its subfolders were not searched: \"Include subfolders\" is off.");
}

// Skipping version-control folders is on until the user turns it off.
TEST_F(SearchDialogTest, TheAimingOptionsComeFromTheSettingsAndGoBack) {
  dialog.OnInitDialog();
  EXPECT_FALSE(view.IsChecked(ControlId::WholeWord));
  EXPECT_TRUE(view.IsChecked(ControlId::SkipVersionControl));
  EXPECT_FALSE(view.IsChecked(ControlId::FollowGitignore));
  tree.Write("trawlscope.ini", "[CheckBox]\nWholeWord=1\nSkipVersionControl=0\nFollowGitignore=1\n");
  dialog.OnInitDialog();
  EXPECT_TRUE(view.IsChecked(ControlId::WholeWord));
  EXPECT_FALSE(view.IsChecked(ControlId::SkipVersionControl));
  EXPECT_TRUE(view.IsChecked(ControlId::FollowGitignore));
  view.checked[ControlId::SkipVersionControl] = true;
  view.checked[ControlId::WholeWord] = false;
  EXPECT_TRUE(dialog.OnClose());
  EXPECT_EQ(Stored(u"CheckBox", u"WholeWord"), u"0");
  EXPECT_EQ(Stored(u"CheckBox", u"SkipVersionControl"), u"1");
  EXPECT_EQ(Stored(u"CheckBox", u"FollowGitignore"), u"1");
}

// An empty result is never a mystery: the progress and the note say what was left out.
TEST_F(SearchDialogTest, TheAimingOptionsReachTheRunAndWhatTheyLeftOutIsSaid) {
  tree.Write("docs/a.txt", "needle\n");
  tree.Write("docs/b.txt", "needles, needle_x and a needle\n");
  tree.Write("docs/.git/COMMIT_EDITMSG.txt", "needle\n");
  tree.Write("docs/.gitignore", "ignored.txt\n");
  tree.Write("docs/ignored.txt", "needle\n");
  view.checked = {{ControlId::Subfolders, true}, {ControlId::WholeWord, true},
                  {ControlId::SkipVersionControl, true}, {ControlId::FollowGitignore, true}};
  At(u"b.txt", [&] { dialog.OnTimer(); });
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->hits.size(), 2u);
  EXPECT_EQ(view.results->note, u"2 files searched. Left out: 1 file, 1 folder.");
  EXPECT_EQ(view.progressRecord.phases.back(), u"Searching...  Left out: 1 file, 1 folder.");
}

TEST_F(SearchDialogTest, AReplaceOfNothingAsksNothing) {
  WriteDocs();
  SearchDocs(u"nowhere to be found");
  ASSERT_NE(view.results, nullptr);
  dialog.OnCommand(Command::Replace);
  EXPECT_TRUE(view.questions.empty());
  EXPECT_FALSE(dialog.IsRunning());
}

TEST_F(SearchDialogTest, TheFocusStartsWhereTheUserHasSomethingToType) {
  dialog.OnInitDialog();
  EXPECT_EQ(view.focused, ControlId::SearchPath);
  tree.Write("trawlscope.ini", "[Filepath]\nEditControl=/data\n");
  dialog.OnInitDialog();
  EXPECT_EQ(view.focused, ControlId::SearchFor);
}

// The first time, the results open below the main dialog; afterwards where they were.
TEST_F(SearchDialogTest, ResultsOpenBelowTheMainDialogUntilTheyHaveAPlace) {
  WriteDocs();
  view.frame = {30, 100, 630, 300};
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->placements, (std::vector<ScreenRect>{{30, 300, 990, 820}}));
  settings.WriteRect(settings::kResultDialog, {50, 60, 950, 560});
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  EXPECT_EQ(view.results->placements, (std::vector<ScreenRect>{{50, 60, 950, 560}}));
}

TEST_F(SearchDialogTest, InitDialogReadsTheSettingsIntoTheControls) {
  tree.Write("trawlscope.ini",
             "[Filepath]\nEditControl=/data\n0=/data\n1=/old\n"
             "[TextForSearch]\nEditControl=needle\n0=needle\n"
             "[CheckBox]\nRegex=1\nCaseSensitive=0\nSubfolder=1\n"
             "[MainDialog]\nleft=10\ntop=20\nright=900\nbottom=400\n"
             "[KWIC]\nLength=45\n");
  dialog.OnInitDialog();
  EXPECT_EQ(view.ComboOf(ControlId::SearchPath).edit, u"/data");
  EXPECT_EQ(view.ComboOf(ControlId::SearchPath).items, (Texts{u"/data", u"/old"}));
  EXPECT_EQ(view.ComboOf(ControlId::SearchFor).edit, u"needle");
  EXPECT_TRUE(view.IsChecked(ControlId::Regex));
  EXPECT_FALSE(view.IsChecked(ControlId::CaseSensitive));
  EXPECT_TRUE(view.IsChecked(ControlId::Subfolders));
  EXPECT_EQ(view.placements, (std::vector<ScreenRect>{{10, 20, 900, 400}}));
  EXPECT_EQ(dialog.State().contextLength, 45);
}

TEST_F(SearchDialogTest, CloseSavesTheHistoriesChecksFrameAndContextLength) {
  tree.Write("trawlscope.ini", "[KWIC]\nLength=45\n");
  dialog.OnInitDialog();
  Fill(ControlId::SearchPath, u"/data", {u"/data", u"/old"});
  Fill(ControlId::FileTypes, u"*.cpp", {});
  Fill(ControlId::XPath, u"//a", {u"//a"});
  Fill(ControlId::SearchFor, u"needle", {u"hay", u"needle"});
  view.checked = {{ControlId::Regex, true}, {ControlId::CaseSensitive, true}, {ControlId::Subfolders, false}};
  view.frame = {15, 25, 815, 425};
  // Every value is written, not only the changed ones: the file may have gone meanwhile.
  std::filesystem::remove(profile.Path());
  EXPECT_TRUE(dialog.OnClose());
  EXPECT_EQ(Stored(u"Filepath", u"EditControl"), u"/data");
  EXPECT_EQ(Stored(u"Filepath", u"1"), u"/old");
  EXPECT_EQ(Stored(u"Filtering", u"EditControl"), u"*.cpp");
  EXPECT_EQ(Stored(u"XPath", u"0"), u"//a");
  EXPECT_EQ(Stored(u"TextForSearch", u"0"), u"hay");
  EXPECT_EQ(Stored(u"CheckBox", u"Regex"), u"1");
  EXPECT_EQ(Stored(u"CheckBox", u"CaseSensitive"), u"1");
  EXPECT_EQ(Stored(u"CheckBox", u"Subfolder"), u"0");
  EXPECT_EQ(Stored(u"MainDialog", u"left"), u"15");
  EXPECT_EQ(Stored(u"MainDialog", u"top"), u"25");
  EXPECT_EQ(Stored(u"MainDialog", u"right"), u"815");
  EXPECT_EQ(Stored(u"MainDialog", u"bottom"), u"425");
  EXPECT_EQ(Stored(u"KWIC", u"Length"), u"45");
}

TEST_F(SearchDialogTest, CloseDuringARunWaitsForItsEndThenSaves) {
  WriteDocs();
  view.checked[ControlId::Regex] = true;
  bool closedAtOnce = true;
  std::u16string storedDuringRun = u"unset";
  At(u"a.txt", [&] {
    closedAtOnce = dialog.OnClose();
    storedDuringRun = Stored(u"CheckBox", u"Regex");
  });
  SearchDocs();
  EXPECT_FALSE(closedAtOnce);
  EXPECT_EQ(storedDuringRun, u"1");  // written as the run started: a crash loses nothing typed
  // The run stopped at its next check point, showed nothing and left the closing to the event loop.
  EXPECT_EQ(view.progressRecord.fileNames, (Texts{u"a.txt"}));
  EXPECT_EQ(view.results, nullptr);
  EXPECT_FALSE(view.closed);

  const int joinsBefore = runThread.joins;
  view.RunDeferred();
  EXPECT_GT(runThread.joins, joinsBefore);
  EXPECT_TRUE(view.closed);
  EXPECT_EQ(Stored(u"CheckBox", u"Regex"), u"1");
  EXPECT_EQ(Stored(u"TextForSearch", u"EditControl"), u"needle");
}

TEST_F(SearchDialogTest, ReplaceAsksFirstAndCancelChangesNothing) {
  WriteDocs();
  SearchDocs();
  ASSERT_NE(view.results, nullptr);
  view.results->replace.edit = u"pin";
  view.confirmAnswer = false;
  dialog.OnCommand(Command::Replace);
  ASSERT_EQ(view.questions.size(), 1u);
  EXPECT_EQ(view.questions[0].substr(0, 48), u"Replace the 3 occurrences in 2 files with \"pin\"?");
  EXPECT_EQ(tree.Read("docs/a.txt"), "one needle two\nneedle\n");
  EXPECT_FALSE(dialog.IsRunning());
  EXPECT_NE(view.results, nullptr);  // still there: nothing happened

  view.results->replace.edit = u"";
  view.confirmAnswer = true;
  dialog.OnCommand(Command::Replace);
  EXPECT_NE(view.questions[1].find(u"Delete the 3 occurrences in 2 files"), std::u16string::npos);
  EXPECT_EQ(tree.Read("docs/a.txt"), "one  two\n\n");
}

// Searches keep their pages in the cache the program names, unless the
// settings file says [CodePage] CacheDetected=0; read at each search.
TEST_F(SearchDialogTest, TheCodePageCacheFollowsTheSettingAtEachSearch) {
  WriteDocs();
  SearchDocs();
  EXPECT_FALSE(dialog.State().pageCache.has_value());  // none named: the tests' dialogs keep none
  dialog.KeepDetectedPagesIn({tree.Path("cache"), "codepages"});
  SearchDocs();
  ASSERT_TRUE(dialog.State().pageCache.has_value());
  EXPECT_EQ(dialog.State().pageCache->folder, tree.Path("cache"));
  settings.WriteInt(settings::kCodePage, settings::kCacheDetected, 0);
  SearchDocs();
  EXPECT_FALSE(dialog.State().pageCache.has_value());
}

}  // namespace
}  // namespace trawlscope
