#include "app/SettingsLocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

TEST(SettingsLocation, BesideTheProgramWhenItsFolderIsWritable) {
  TempTree tree;
  const std::string program = tree.Write("bin/trawlscope", "#!");
  EXPECT_EQ(SettingsFilePath({program, "/xdg", "/home/u"}), tree.Path("bin/trawlscope.ini"));
  const std::string withExtension = tree.Write("bin/trawlscope.bin", "#!");
  EXPECT_EQ(SettingsFilePath({withExtension, "", "/home/u"}), tree.Path("bin/trawlscope.ini"));
}

TEST(SettingsLocation, UserConfigFolderWhenTheProgramsFolderCannotBeWritten) {
  // A folder that does not exist cannot be written to, even by root.
  TempTree tree;
  const std::string program = tree.Path("gone/bin/trawlscope");
  EXPECT_EQ(SettingsFilePath({program, "/xdg", "/home/u"}), "/xdg/trawlscope/trawlscope.ini");
  EXPECT_EQ(SettingsFilePath({program, "", "/home/u"}), "/home/u/.config/trawlscope/trawlscope.ini");
}

TEST(SettingsLocation, AnExistingFileBesideTheProgramIsUsedEvenInAReadOnlyFolder) {
  TempTree tree;
  const std::string program = tree.Write("bin/trawlscope", "#!");
  tree.Write("bin/trawlscope.ini", "[S]\n");
  chmod(tree.Path("bin").c_str(), 0555);
  EXPECT_EQ(SettingsFilePath({program, "/xdg", "/home/u"}), tree.Path("bin/trawlscope.ini"));
}

TEST(SettingsLocation, UnknownProgramPathFallsBackToTheConfigFolder) {
  EXPECT_EQ(SettingsFilePath({"", "", "/home/u"}), "/home/u/.config/trawlscope/trawlscope.ini");
}

}  // namespace
}  // namespace trawlscope
