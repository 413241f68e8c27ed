// The undo journal's limits as the settings file gives them.
#include "app/UndoSettings.h"

#include <gtest/gtest.h>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

class UndoSettingsTest : public testing::Test {
 protected:
  TempTree tree;
  IniProfileFile file{tree.Path("trawlscope.ini")};
  SettingsStore store{file};
};

TEST_F(UndoSettingsTest, WithoutTheSectionTenRunsAndTwoGigabytesAreKept) {
  const JournalPlace place = UndoJournalPlace(store, "/state/undo");
  EXPECT_EQ(place.folder, "/state/undo");
  EXPECT_EQ(place.maxRuns, 10);
  EXPECT_EQ(place.maxBytes, 2048ull * 1024 * 1024);
}

TEST_F(UndoSettingsTest, TheSectionSetsTheLimitsAndZeroTurnsTheJournalOff) {
  tree.Write("trawlscope.ini", "[Undo]\nRuns=3\nMaxMegabytes=5\n");
  JournalPlace place = UndoJournalPlace(store, "/state/undo");
  EXPECT_EQ(place.maxRuns, 3);
  EXPECT_EQ(place.maxBytes, 5ull * 1024 * 1024);
  tree.Write("trawlscope.ini", "[Undo]\nRuns=0\n");
  EXPECT_EQ(UndoJournalPlace(store, "/state/undo").folder, "");
  tree.Write("trawlscope.ini", "[Undo]\nMaxMegabytes=0\n");
  EXPECT_EQ(UndoJournalPlace(store, "/state/undo").folder, "");
}

}  // namespace
}  // namespace trawlscope
