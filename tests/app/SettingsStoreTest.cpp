#include "app/SettingsStore.h"
#include "app/DecimalText.h"

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

// An earlier version saved blank and repeated entries, and stopped loading at the first blank.
TEST_F(SettingsStoreTest, HistoryLoadPassesOverMissingBlankAndRepeatedEntries) {
  tree.Write("trawlscope.ini", "[Filepath]\nEditControl=/data\n0=a\n1=b\n3=d\n4=a\n");
  FakeCombo combo;
  store.LoadHistory(combo, settings::kFilepath);
  EXPECT_EQ(combo.edit, u"/data");
  EXPECT_EQ(combo.items, (std::vector<std::u16string>{u"a", u"b", u"d"}));

  tree.Write("trawlscope.ini", "[Filepath]\n0=a\n1=\n2=c\n");
  FakeCombo second;
  store.LoadHistory(second, settings::kFilepath);
  EXPECT_EQ(second.items, (std::vector<std::u16string>{u"a", u"c"}));
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

TEST(AddToHistory, TheNewestComesFirstWithoutBlanksOrRepeats) {
  const struct {
    std::vector<std::u16string> before;
    std::u16string added;
    std::vector<std::u16string> after;
  } cases[] = {
      {{u"beta", u"alpha"}, u"gamma", {u"gamma", u"beta", u"alpha"}},
      {{u"beta"}, u"picked", {u"picked", u"typed", u"beta"}},  // the edit's own text stays
      {{u"gamma", u"beta", u"alpha"}, u"alpha", {u"alpha", u"gamma", u"beta"}},
      {{u"alpha", u"", u"beta"}, u"", {u"alpha", u"beta"}},
      {{u"Alpha", u"alpha "}, u"alpha", {u"alpha", u"Alpha", u"alpha "}},  // exact comparison
  };
  for (const auto& c : cases) {
    FakeCombo combo;
    combo.items = c.before;
    if (c.added == u"picked") combo.edit = u"typed";
    AddToHistory(combo, c.added);
    EXPECT_EQ(combo.edit, c.added);
    EXPECT_EQ(combo.items, c.after);
  }
  FakeCombo full;
  for (int i = 0; i < settings::kHistoryEntries; ++i) full.items.push_back(u"entry " + DecimalText(i));
  AddToHistory(full, u"newest");
  EXPECT_EQ(full.items.size(), static_cast<size_t>(settings::kHistoryEntries));
  EXPECT_EQ(full.items.front(), u"newest");
}

TEST(PlaceWindow, TheFrameIsSizedForTheDesktopThenMovedWhollyOntoIt) {
  const struct {
    ScreenRect stored, placed;
  } cases[] = {
      {{100, 50, 200, 400}, {100, 50, 664, 400}},    // too narrow: widened, its left edge kept
      {{100, 50, 800, 60}, {100, 50, 800, 222}},     // too low
      {{-1900, -500, -1000, -100}, {0, 0, 900, 400}},  // off the desktop
      {{-300, 100, 400, 400}, {0, 100, 700, 400}},   // partly off: brought on, its size kept
      {{500, 100, 400, 400}, {500, 100, 1064, 400}},  // inverted: the minimum width
      // Stored at twice the scale: larger than the screen, then brought onto it whole.
      {{100, 200, 3280, 1344}, {0, 0, 1600, 1000}},
      {{1200, 900, 2000, 1200}, {800, 700, 1600, 1000}},
  };
  for (const auto& c : cases) {
    FakeWindow window;
    window.screen = {1600, 1000};
    PlaceWindow(window, c.stored, 564, 172);
    EXPECT_EQ(window.placed, c.placed) << c.stored.left << "," << c.stored.top;
  }
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

}  // namespace
}  // namespace trawlscope
