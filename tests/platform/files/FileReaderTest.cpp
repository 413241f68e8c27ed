#include "platform/files/FileReader.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TempTree.h"

namespace trawlscope {
namespace {

TEST(FileReader, ReadsWholeFilesAndReusesItsBuffer) {
  test::TempTree tree;
  const std::string big(300000, 'x');
  tree.Write("big", big);
  tree.Write("small", std::string("a\0b", 3));
  FileBuffer buffer;
  FolderCursor cursor;
  ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", "big", buffer));
  EXPECT_EQ(buffer.Bytes(), big);
  ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", "small", buffer));
  EXPECT_EQ(buffer.Bytes(), std::string_view("a\0b", 3));
  tree.Write("empty");
  ASSERT_TRUE(ReadWholeFile(tree.Path("empty"), buffer));
  EXPECT_TRUE(buffer.Bytes().empty());
}

TEST(FileReader, OnlyRegularFilesAreRead) {
  test::TempTree tree;
  ASSERT_EQ(mkfifo(tree.Path("pipe").c_str(), 0600), 0);
  tree.MakeFolder("folder");
  FileBuffer buffer;
  EXPECT_FALSE(ReadWholeFile(tree.Path("pipe"), buffer));  // must not hang
  EXPECT_FALSE(ReadWholeFile(tree.Path("folder"), buffer));
  EXPECT_FALSE(ReadWholeFile(tree.Path("missing"), buffer));
  std::string bytes = "stale";
  EXPECT_FALSE(ReadWholeFile(tree.Path("missing"), bytes));
  EXPECT_TRUE(bytes.empty());
}

}  // namespace
}  // namespace trawlscope
