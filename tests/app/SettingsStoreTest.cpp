#include "app/SettingsStore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "app/SettingsKeys.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

class FakeCombo final : public IHistoryCombo {
 public:
  std::u16string edit;
  std::vector<std::u16string> items;

  std::u16string EditText() const override { return edit; }
  void SetEditText(const std::u16string& text) override { edit = text; }
  int ItemCount() const override { return static_cast<int>(items.size()); }
  std::u16string ItemText(int index) const override { return items[index]; }
  void AppendItem(const std::u16string& text) override { items.push_back(text); }
  void ClearItems() override { items.clear(); }

  std::vector<std::u16string> Sorted() const {
    auto copy = items;
    std::sort(copy.begin(), copy.end());
    return copy;
  }
};

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

TEST(HistoryHash, SamplesAboutSixteenCodeUnits) {
  EXPECT_EQ(HistoryHash(u""), 0xDEADBEEFu);
  EXPECT_EQ(HistoryHash(u"a"), 0xDEADBEEFu + u'a');
  // 16 units: step 2, positions 0, 2, ..., 14.
  const std::u16string text = u"abcdefghijklmnop";
  std::uint32_t expected = 0xDEADBEEF;
  for (size_t i = 0; i <= 14; i += 2) expected += text[i];
  EXPECT_EQ(HistoryHash(text), expected);
  EXPECT_EQ(HistoryHash(u"ab"), 0xDEADBEEFu + u'a' + u'b');
}

TEST(PlaceWindow, NarrowRectangleIsWidenedKeepingItsLeftEdge) {
  FakeWindow window;
  PlaceWindow(window, {100, 50, 200, 400}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{100, 50, 664, 400}));
  PlaceWindow(window, {100, 50, 800, 60}, 564, 172);
  EXPECT_EQ(window.placed, (ScreenRect{100, 50, 800, 222}));
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
