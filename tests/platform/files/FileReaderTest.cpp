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
  // A larger file grows the room; nothing of the last file's bytes is left in it.
  std::string bigger(700001, 'y');
  bigger[350000] = 'z';
  tree.Write("bigger", bigger);
  ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", "bigger", buffer));
  EXPECT_EQ(buffer.Bytes(), bigger);
  tree.Write("empty");
  ASSERT_TRUE(ReadWholeFile(tree.Path("empty"), buffer));
  EXPECT_TRUE(buffer.Bytes().empty());
}

// The bytes arrive in pieces that follow one another and end with the file;
// each time, everything read so far is in the buffer.
TEST(FileReader, BytesAreShownAsTheyArrive) {
  test::TempTree tree;
  std::string content(1000003, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + i % 26);
  tree.Write("big", content);
  tree.Write("small", "abc");
  FileBuffer buffer;
  FolderCursor cursor;
  for (const char* name : {"big", "small"}) {
    const std::string expected = tree.Read(name);
    size_t end = 0, calls = 0;
    const OnBytesRead onRead = [&](std::string_view soFar, size_t newFrom) {
      EXPECT_EQ(newFrom, end);
      EXPECT_GT(soFar.size(), newFrom);
      EXPECT_EQ(soFar, std::string_view(expected).substr(0, soFar.size()));
      end = soFar.size();
      ++calls;
    };
    ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", name, buffer, nullptr, &onRead));
    EXPECT_EQ(end, expected.size()) << name;
    EXPECT_EQ(buffer.Bytes(), expected);
    EXPECT_GE(calls, expected.size() > 300000 ? 2u : 1u) << name;
  }
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
