#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/SettingsKeys.h"
#include "support/FakeHistoryCombo.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

using FakeCombo = test::FakeHistoryCombo;

class FakeWindow final : public IPlaceableWindow {
 public:
  ScreenSize screen{1920, 1080};
  ScreenRect placed;
  ScreenSize VirtualScreenSize() const override { return screen; }
  void MoveTo(const ScreenRect& frame) override { placed = frame; }
};

class SettingsStoreTest : public testing::Test {
 protected:
  TempTree tree;
  IniProfileFile file{tree.Path("trawlscope.ini")};
  SettingsStore store{file};
};

TEST_F(SettingsStoreTest, FirstStartWithoutAFileGivesTheDefaults) {
  FakeCombo combo;
  store.LoadHistory(combo, settings::kFilepath);
  EXPECT_EQ(combo.edit, u"");
  EXPECT_TRUE(combo.items.empty());
  EXPECT_EQ(store.ReadInt(settings::kCheckBox, settings::kRegex, 0), 0);
  EXPECT_EQ(store.ReadInt(settings::kKwic, settings::kLength, settings::kDefaultContextLength), 30);

  FakeWindow window;
  PlaceWindow(window,
              {store.ReadInt(settings::kMainDialog, settings::kLeft, 0),
               store.ReadInt(settings::kMainDialog, settings::kTop, 200),
               store.ReadInt(settings::kMainDialog, settings::kRight, 564),
               store.ReadInt(settings::kMainDialog, settings::kBottom, 372)},
              settings::kMainDialogMinWidth, settings::kMainDialogMinHeight);
  EXPECT_EQ(window.placed, (ScreenRect{0, 200, 564, 372}));
}

TEST_F(SettingsStoreTest, IntegersRoundTripAndBadTextReadsAsZero) {
  store.WriteInt(u"S", u"negative", -1280);
  store.WriteInt(u"S", u"big", 2147483647);
  EXPECT_EQ(store.ReadInt(u"S", u"negative", 5), -1280);
  EXPECT_EQ(store.ReadInt(u"S", u"big", 5), 2147483647);
  EXPECT_EQ(store.ReadInt(u"S", u"missing", 5), 5);
  tree.Write("trawlscope.ini", "[S]\nword=abc\nlead=12px\nempty=\n");
  EXPECT_EQ(store.ReadInt(u"S", u"word", 5), 0);
  EXPECT_EQ(store.ReadInt(u"S", u"lead", 5), 12);
  EXPECT_EQ(store.ReadInt(u"S", u"empty", 5), 0);
}

TEST_F(SettingsStoreTest, HistoryLoadStopsAtTheFirstMissingOrEmptyEntry) {
  tree.Write("trawlscope.ini", "[Filepath]\nEditControl=/data\n0=a\n1=b\n3=d\n");
  FakeCombo combo;
  store.LoadHistory(combo, settings::kFilepath);
  EXPECT_EQ(combo.edit, u"/data");
  EXPECT_EQ(combo.items, (std::vector<std::u16string>{u"a", u"b"}));

  tree.Write("trawlscope.ini", "[Filepath]\n0=a\n1=\n2=c\n");
  FakeCombo second;
  store.LoadHistory(second, settings::kFilepath);
  EXPECT_EQ(second.items, (std::vector<std::u16string>{u"a"}));
}

TEST_F(SettingsStoreTest, HistorySavesTwentyEntriesAndLeavesOlderKeysAlone) {
  tree.Write("trawlscope.ini", "[XPath]\n24=stale\n");
  FakeCombo combo;
  combo.edit = u"  //item[@id=\"1\"]  ";
  for (int i = 0; i < 25; ++i) {
    const std::string text = "entry " + std::to_string(i) + " ; # = [x]";
    combo.items.emplace_back(text.begin(), text.end());
  }
  store.SaveHistory(combo, settings::kXPath);
  EXPECT_EQ(store.ReadString(settings::kXPath, u"19"), combo.items[19]);
  EXPECT_EQ(store.ReadString(settings::kXPath, u"20"), u"");
  EXPECT_EQ(store.ReadString(settings::kXPath, u"24"), u"stale");

  FakeCombo loaded;
  store.LoadHistory(loaded, settings::kXPath);
  EXPECT_EQ(loaded.edit, combo.edit);
  EXPECT_EQ(loaded.items, std::vector<std::u16string>(combo.items.begin(), combo.items.begin() + 20));
}

TEST_F(SettingsStoreTest, EmptyHistoryEntryIsSavedAndEndsTheNextLoad) {
  FakeCombo combo;
  combo.items = {u"first", u"", u"third"};
  store.SaveHistory(combo, settings::kTextForSearch);
  FakeCombo loaded;
  store.LoadHistory(loaded, settings::kTextForSearch);
  EXPECT_EQ(loaded.items, (std::vector<std::u16string>{u"first"}));
}

TEST(AddToHistory, DuplicatesCollapseAndTheNewTextStandsInTheEdit) {
  FakeCombo combo;
  combo.edit = u"alpha";
  combo.items = {u"alpha", u"beta"};
  AddToHistory(combo, u"gamma");
  EXPECT_EQ(combo.edit, u"gamma");
  EXPECT_EQ(combo.Sorted(), (std::vector<std::u16string>{u"alpha", u"beta"}));

  AddToHistory(combo, u"gamma");  // the edit's text joins now
  EXPECT_EQ(combo.Sorted(), (std::vector<std::u16string>{u"alpha", u"beta", u"gamma"}));
}

TEST(AddToHistory, ComparisonIsExactAndAnEmptyEditJoinsOnce) {
  FakeCombo combo;
  combo.items = {u"Alpha", u"alpha", u"alpha "};
  AddToHistory(combo, u"");
  AddToHistory(combo, u"");
  EXPECT_EQ(combo.Sorted(), (std::vector<std::u16string>{u"", u"Alpha", u"alpha", u"alpha "}));
}

// The order is libstdc++'s for these hashes: 13 buckets, and an entry that
// opens a bucket goes to the front of the list.
TEST(AddToHistory, ListComesInTheSetsOrder) {
  FakeCombo combo;
  combo.edit = u"gamma";
  combo.items = {u"alpha", u"beta", u"alpha"};
  AddToHistory(combo, u"delta");
  EXPECT_EQ(combo.items, (std::vector<std::u16string>{u"beta", u"alpha", u"gamma"}));

  FakeCombo types;
  types.edit = u"*.txt";
  types.items = {u"*.cpp", u"*.h", u"*.txt", u"*.md", u"*.xml"};
  AddToHistory(types, u"*.c");
  EXPECT_EQ(types.items, (std::vector<std::u16string>{u"*.xml", u"*.h", u"*.cpp", u"*.md", u"*.txt"}));
  AddToHistory(types, u"*.c");
  EXPECT_EQ(types.items, (std::vector<std::u16string>{u"*.txt", u"*.md", u"*.cpp", u"*.h", u"*.xml", u"*.c"}));
}

TEST(AddToHistory, TextsWithTheSameHashAreBothKept) {
  ASSERT_EQ(HistoryHash(u"abcdefghijklmnopq"), HistoryHash(u"abcdefghijklmnopz"));
  FakeCombo combo;
  combo.edit = u"abcdefghijklmnopq";
  combo.items = {u"abcdefghijklmnopz"};
  AddToHistory(combo, u"x");
  EXPECT_EQ(combo.Sorted(), (std::vector<std::u16string>{u"abcdefghijklmnopq", u"abcdefghijklmnopz"}));
}

TEST(HistoryHash, SumsAboutSixteenCodeUnitsOntoItsSeed) {
  EXPECT_EQ(HistoryHash(u""), 0xDEADBEEFu);
  EXPECT_EQ(HistoryHash(u"a"), 0xDEADBF50u);
  EXPECT_EQ(HistoryHash(u"ab"), 0xDEADBFB2u);
  EXPECT_EQ(HistoryHash(u"abcdefghijklmno"), 0xDEADC507u);   // 15 units: every one
  EXPECT_EQ(HistoryHash(u"abcdefghijklmnop"), 0xDEADC22Fu);  // 16: every other one, "a" to "o"
  EXPECT_EQ(HistoryHash(u"abcdefghijklmnopq"), 0xDEADC22Fu); // the last unit is not sampled
  EXPECT_EQ(HistoryHash(u"日本"), 0xDEAE8C00u);               // whole units, not bytes
}

TEST(PlaceWindow, NarrowRectangleIsWidenedKeepingItsLeftEdge) {
  FakeWindow window;
  PlaceWindow(window, {100, 50, 200, 400}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{100, 50, 664, 400}));
  PlaceWindow(window, {100, 50, 800, 60}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{100, 50, 800, 222}));
}

TEST(KeptOnScreen, FrameMovesInsideTheAreaKeepingItsSize) {
  const ScreenRect area{0, 0, 1600, 1000};
  EXPECT_EQ(KeptOnScreen({100, 50, 900, 250}, area), (ScreenRect{100, 50, 900, 250}));
  // A title bar above the screen comes down; a frame past the bottom right comes back.
  EXPECT_EQ(KeptOnScreen({0, -27, 800, 173}, area), (ScreenRect{0, 0, 800, 200}));
  EXPECT_EQ(KeptOnScreen({1200, 900, 2000, 1100}, area), (ScreenRect{800, 800, 1600, 1000}));
  // Too tall and too wide: the top-left corner stays in, so the title bar can be reached.
  EXPECT_EQ(KeptOnScreen({-50, -40, 1750, 1160}, {0, 24, 1600, 1000}), (ScreenRect{0, 24, 1800, 1224}));
}

TEST(PlaceWindow, RectangleOffTheDesktopMovesToTheOriginKeepingItsSize) {
  FakeWindow window;
  PlaceWindow(window, {-1900, -500, -1000, -100}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{0, 0, 900, 400}));
  PlaceWindow(window, {3000, 100, 3600, 400}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{0, 0, 600, 300}));
}

TEST(PlaceWindow, PartlyVisibleRectangleStaysWhereItIs) {
  FakeWindow window;
  PlaceWindow(window, {-300, 100, 400, 400}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{-300, 100, 400, 400}));
}

TEST(PlaceWindow, InvertedRectangleIsNotWidenedAndCountsAsOffTheDesktop) {
  FakeWindow window;
  PlaceWindow(window, {500, 100, 400, 400}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{0, 0, -100, 300}));
}

}  // namespace
}  // namespace trawlscope
