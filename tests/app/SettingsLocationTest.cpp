#include "app/SettingsLocation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

// A writable folder alone is no portable copy: root, who can write
// /usr/bin, would have kept its settings there.
TEST(SettingsLocation, UserConfigFolderUnlessASettingsFileStandsBesideTheProgram) {
  TempTree tree;
  const std::string program = tree.Write("bin/trawlscope", "#!");
  ASSERT_EQ(access(tree.Path("bin").c_str(), W_OK), 0);
  EXPECT_EQ(SettingsFilePath({program, "/xdg", "/home/u"}), "/xdg/trawlscope/trawlscope.ini");
  EXPECT_EQ(SettingsFilePath({program, "", "/home/u"}), "/home/u/.config/trawlscope/trawlscope.ini");
  const std::string gone = tree.Path("gone/bin/trawlscope");
  EXPECT_EQ(SettingsFilePath({gone, "/xdg", "/home/u"}), "/xdg/trawlscope/trawlscope.ini");
  EXPECT_EQ(SettingsFilePath({"", "", "/home/u"}), "/home/u/.config/trawlscope/trawlscope.ini");
}

TEST(SettingsLocation, AFileBesideTheProgramIsUsedEvenInAReadOnlyFolder) {
  TempTree tree;
  const std::string program = tree.Write("bin/trawlscope", "#!");
  const std::string withExtension = tree.Write("bin/trawlscope.bin", "#!");
  tree.Write("bin/trawlscope.ini", "[S]\n");
  chmod(tree.Path("bin").c_str(), 0555);
  EXPECT_EQ(SettingsFilePath({program, "/xdg", "/home/u"}), tree.Path("bin/trawlscope.ini"));
  EXPECT_EQ(SettingsFilePath({withExtension, "", "/home/u"}), tree.Path("bin/trawlscope.ini"));
}

}  // namespace
}  // namespace trawlscope
