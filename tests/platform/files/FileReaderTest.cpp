#include "platform/files/FileReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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
  // The kernel's copy runs at half speed into a block's usual start, 16 bytes into a page.
  EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.Bytes().data()) % 64, 0u);
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
      return PastBytes::Keep;
    };
    ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", name, buffer, nullptr, &onRead));
    EXPECT_EQ(end, expected.size()) << name;
    EXPECT_EQ(buffer.Bytes(), expected);
    EXPECT_GE(calls, expected.size() > 300000 ? 2u : 1u) << name;
  }
}

// A caller that lets the bytes go keeps the head and, before each piece,
// the file's bytes just before it; a Keep after that reads the file again
// from the start, whole.
TEST(FileReader, BytesLetGoLeaveTheHeadAndAKeepReadsTheFileAgainWhole) {
  test::TempTree tree;
  std::string content(700001, '\0');
  for (size_t i = 0; i < content.size(); ++i) content[i] = static_cast<char>('a' + (i * 7) % 26);
  tree.Write("big", content);
  FileBuffer buffer;
  FolderCursor cursor;
  for (const size_t keepFrom : {content.size(), size_t{300000}}) {
    size_t fileOffset = 0, starts = 0;
    const OnBytesRead onRead = [&](std::string_view soFar, size_t newFrom) {
      if (newFrom == 0) {
        ++starts;
        fileOffset = 0;
      }
      const size_t piece = soFar.size() - newFrom;
      const std::string_view file(content);
      EXPECT_TRUE(soFar.substr(newFrom) == file.substr(fileOffset, piece)) << fileOffset;
      // Before the piece stand the file's own bytes before it, as far as they were kept.
      const size_t before = std::min(newFrom, kKeptTailBytes);
      EXPECT_TRUE(soFar.substr(newFrom - before, before) == file.substr(fileOffset - before, before)) << fileOffset;
      const size_t head = std::min(newFrom, kKeptHeadBytes);
      EXPECT_TRUE(soFar.substr(0, head) == file.substr(0, head)) << fileOffset;
      fileOffset += piece;
      return starts == 1 && fileOffset <= keepFrom ? PastBytes::MayDrop : PastBytes::Keep;
    };
    ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", "big", buffer, nullptr, &onRead));
    EXPECT_EQ(fileOffset, content.size());
    if (keepFrom == content.size()) {
      EXPECT_EQ(starts, 1u);
      EXPECT_FALSE(buffer.IsWhole());
      EXPECT_TRUE(buffer.Bytes() == std::string_view(content).substr(0, kKeptHeadBytes));
    } else {
      EXPECT_EQ(starts, 2u);
      EXPECT_TRUE(buffer.IsWhole());
      EXPECT_TRUE(buffer.Bytes() == content);
    }
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
