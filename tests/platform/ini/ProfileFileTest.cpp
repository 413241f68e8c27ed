#include "platform/ini/ProfileFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

size_t EntriesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

TEST(IniProfileFile, MissingFileReadsAsNothingAndTheFirstWriteCreatesIt) {
  TempTree tree;
  IniProfileFile file(tree.Path("sub/dir/trawlscope.ini"));
  EXPECT_FALSE(file.ReadString(u"S", u"k"));
  ASSERT_TRUE(file.WriteString(u"S", u"k", u"値"));
  EXPECT_EQ(file.ReadString(u"S", u"k"), u"値");
  EXPECT_EQ(tree.Read("sub/dir/trawlscope.ini"), "[S]\nk=値\n");
}

TEST(IniProfileFile, EveryWriteReachesTheFileAndLeavesNoTemporaryFile) {
  TempTree tree;
  tree.Write("t.ini", "; kept\n[Other]\nx=1\n");
  IniProfileFile file(tree.Path("t.ini"));
  for (int i = 0; i < 5; ++i) ASSERT_TRUE(file.WriteString(u"S", u"k", u"v"));
  IniProfileFile second(tree.Path("t.ini"));
  EXPECT_EQ(second.ReadString(u"S", u"k"), u"v");
  EXPECT_EQ(tree.Read("t.ini"), "; kept\n[Other]\nx=1\n[S]\nk=v\n");
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

ino_t InodeOf(const std::string& path) {
  struct stat info {};
  stat(path.c_str(), &info);
  return info.st_ino;
}

// Several keys go out in one write, and values the file already holds cause
// none: each write is a flushed replacement of the whole file.
TEST(IniProfileFile, KeysOfASectionAreWrittenTogetherAndUnchangedValuesAreNotRewritten) {
  TempTree tree;
  tree.Write("t.ini", "[Window]\ntop=1\n[Other]\nx=1\n");
  IniProfileFile file(tree.Path("t.ini"));
  ASSERT_TRUE(file.WriteStrings(u"Window", {{u"top", u"10"}, {u"left", u"20"}, {u"right", u"30"}}));
  EXPECT_EQ(tree.Read("t.ini"), "[Window]\ntop=10\nleft=20\nright=30\n[Other]\nx=1\n");
  const ino_t written = InodeOf(tree.Path("t.ini"));
  ASSERT_TRUE(file.WriteStrings(u"Window", {{u"left", u"20"}, {u"top", u"10"}}));
  ASSERT_TRUE(file.WriteString(u"Other", u"x", u"1"));
  EXPECT_EQ(InodeOf(tree.Path("t.ini")), written);
  ASSERT_TRUE(file.WriteString(u"Other", u"x", u"2"));
  EXPECT_NE(InodeOf(tree.Path("t.ini")), written);
  EXPECT_EQ(tree.Read("t.ini"), "[Window]\ntop=10\nleft=20\nright=30\n[Other]\nx=2\n");
}

TEST(IniProfileFile, LongValuesAreCutAt4095UnitsOnReadNeverInsideASurrogatePair) {
  TempTree tree;
  IniProfileFile file(tree.Path("t.ini"));
  const std::u16string x4093(4093, u'x');
  const std::pair<std::u16string, std::u16string> cases[] = {
      {x4093 + u"xx", x4093 + u"xx"},
      {x4093 + u"xx" + std::u16string(905, u'y'), x4093 + u"xx"},
      {x4093 + u"😀y", x4093 + u"😀"},
      {x4093 + u"x😀", x4093 + u"x"},
  };
  for (const auto& [written, read] : cases) {
    ASSERT_TRUE(file.WriteString(u"S", u"k", written));
    EXPECT_EQ(file.ReadString(u"S", u"k"), read) << written.size();
  }
}

TEST(IniProfileFile, WriteThatCannotBeDoneReportsFailure) {
  TempTree tree;
  tree.Write("plain", "not a folder");
  IniProfileFile file(tree.Path("plain/t.ini"));
  EXPECT_FALSE(file.WriteString(u"S", u"k", u"v"));
  EXPECT_EQ(tree.Read("plain"), "not a folder");
}

TEST(IniProfileFile, WriteIntoReadOnlyFolderFailsAndKeepsTheOldFile) {
  if (geteuid() == 0) GTEST_SKIP() << "root may write anywhere";
  TempTree tree;
  tree.Write("ro/t.ini", "[S]\nk=old\n");
  chmod(tree.Path("ro").c_str(), 0555);
  IniProfileFile file(tree.Path("ro/t.ini"));
  EXPECT_FALSE(file.WriteString(u"S", u"k", u"new"));
  EXPECT_EQ(tree.Read("ro/t.ini"), "[S]\nk=old\n");
  EXPECT_EQ(EntriesIn(tree.Path("ro")), 1u);
}

TEST(IniProfileFile, AFileThatCannotBeReadIsNotReplacedByOneKey) {
  TempTree tree;
  // A folder in the file's place cannot be read as a file whoever we are.
  tree.MakeFolder("t.ini");
  IniProfileFile file(tree.Path("t.ini"));
  EXPECT_FALSE(file.WriteString(u"S", u"k", u"v"));
  EXPECT_TRUE(std::filesystem::is_directory(tree.Path("t.ini")));
}

TEST(IniProfileFile, PermissionBitsOfAnExistingFileAreKept) {
  TempTree tree;
  tree.Write("t.ini", "[S]\n");
  chmod(tree.Path("t.ini").c_str(), 0600);
  IniProfileFile file(tree.Path("t.ini"));
  ASSERT_TRUE(file.WriteString(u"S", u"k", u"v"));
  struct stat info;
  stat(tree.Path("t.ini").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
}

}  // namespace
}  // namespace trawlscope
