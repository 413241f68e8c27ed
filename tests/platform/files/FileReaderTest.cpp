#include "platform/files/FileReader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <sys/stat.h>
#include <ctime>
#include <string>

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

// A file whose stamps are older than a read's start (the clock an hour on).
timespec AnHourOn() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  now.tv_sec += 3600;
  return now;
}

struct ClockMoved {
  explicit ClockMoved(timespec (*now)()) { SetReadClockForTests(now); }
  ~ClockMoved() { SetReadClockForTests(nullptr); }
};

std::string Lettered(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>('a' + i % 23);
  return bytes;
}

// A search reads a file of one piece without asking its size first, and its
// identity only when it wants it; a larger one continues after its first piece.
TEST(FileReader, SearchReadsKeepEveryByteAndTakeTheIdentityAsked) {
  const ClockMoved settled(AnHourOn);
  constexpr size_t kPiece = 64u << 10;
  struct Case {
    size_t size;
    bool wanted;
    PastBytes past;
  } cases[] = {{0, true, PastBytes::Keep},           {100, false, PastBytes::Keep},
               {100, true, PastBytes::Keep},         {kPiece - 1, true, PastBytes::Keep},
               {kPiece, false, PastBytes::Keep},     {kPiece + 1, false, PastBytes::Keep},
               {200007, true, PastBytes::Keep},      {200007, false, PastBytes::MayDrop}};
  test::TempTree tree;
  FolderCursor cursor;
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.size << (c.wanted ? " wanted" : "") << (c.past == PastBytes::MayDrop ? " dropped" : ""));
    const std::string content = Lettered(c.size);
    tree.Write("f", content);
    FileBuffer buffer;  // a fresh one each time, grown from its first piece
    size_t arrived = 0;
    const OnBytesRead onRead = [&](std::string_view soFar, size_t newFrom) {
      EXPECT_EQ(soFar.substr(newFrom), std::string_view(content).substr(arrived, soFar.size() - newFrom));
      arrived += soFar.size() - newFrom;
      return c.past;
    };
    bool asked = false;
    const WantsIdentity wants = [&] { return asked = true, c.wanted; };
    FileIdentity identity;
    const Outcome<FileRead> status =
        ReadWholeFileIn(cursor, tree.Root() + "/", "f", buffer, &identity, &onRead, nullptr, 0, &wants);
    ASSERT_TRUE(status);
    EXPECT_EQ(arrived, c.size);
    const bool windowed = c.past == PastBytes::MayDrop && c.size > kKeptHeadBytes + kKeptTailBytes;
    EXPECT_EQ(buffer.Bytes(), std::string_view(content).substr(0, windowed ? kKeptHeadBytes : c.size));
    EXPECT_EQ(buffer.IsWhole(), !windowed);
    EXPECT_EQ(asked, c.size < kPiece);
    ASSERT_EQ(status.Value().identityTaken, c.wanted || c.size >= kPiece);
    struct stat now;
    ASSERT_EQ(stat(tree.Path("f").c_str(), &now), 0);
    if (status.Value().identityTaken) {
      EXPECT_TRUE(identity.Unchanged(FileIdentity::Of(now)));
    }
  }
}

// Bytes and identity must tell of the same file: a file rewritten between the
// read and the identity's fstat is read again, its identity first.
TEST(FileReader, SearchReadOfAFileChangedAsItWasReadReadsItAgain) {
  test::TempTree tree;
  tree.Write("f", "old text");
  FolderCursor cursor;
  FileBuffer buffer;
  int calls = 0;
  const OnBytesRead onRead = [&](std::string_view, size_t) {
    if (calls++ == 0) tree.Write("f", "new words, longer");  // in place: the same inode
    return PastBytes::Keep;
  };
  const WantsIdentity wants = [] { return true; };
  FileIdentity identity;
  const Outcome<FileRead> status =
      ReadWholeFileIn(cursor, tree.Root() + "/", "f", buffer, &identity, &onRead, nullptr, 0, &wants);
  ASSERT_TRUE(status);
  EXPECT_TRUE(status.Value().identityTaken);
  EXPECT_EQ(buffer.Bytes(), "new words, longer");
  EXPECT_EQ(identity.size, 17);
}


timespec readClock{};
timespec ReadClock() { return readClock; }

// A file stamped within two seconds before its read began may take writes
// that its stamps, from a coarse clock, do not show yet: it is read again,
// its identity first, as git treats a racy index entry.
TEST(FileReader, AFileStampedJustBeforeItsReadIsReadAgain) {
  test::TempTree tree;
  tree.Write("f", "text");
  struct stat info;
  ASSERT_EQ(stat(tree.Path("f").c_str(), &info), 0);
  for (const auto& [secondsLater, reads] : {std::pair{0, 2}, {1, 2}, {3, 1}}) {
    SCOPED_TRACE(secondsLater);
    readClock = {info.st_ctim.tv_sec + secondsLater, 0};
    const ClockMoved moved(ReadClock);
    FolderCursor cursor;
    FileBuffer buffer;
    int calls = 0;
    const OnBytesRead onRead = [&](std::string_view, size_t) { return ++calls, PastBytes::Keep; };
    const WantsIdentity wants = [] { return true; };
    FileIdentity identity;
    ASSERT_TRUE(ReadWholeFileIn(cursor, tree.Root() + "/", "f", buffer, &identity, &onRead, nullptr, 0, &wants));
    EXPECT_EQ(calls, reads);
    EXPECT_EQ(buffer.Bytes(), "text");
  }
}


// A file larger than the caller wants whole goes to its pieces open, with a
// mark of its own: an errno the read could really give is no hand-over.
TEST(FileReader, ALargeFileIsHandedOverOpenAndSaysSo) {
  test::TempTree tree;
  tree.Write("f", Lettered(5000));
  FolderCursor cursor;
  FileBuffer buffer;
  FileInPieces pieces;
  const OnBytesRead onRead = [](std::string_view, size_t) { return PastBytes::Keep; };
  const Outcome<FileRead> status =
      ReadWholeFileIn(cursor, tree.Root() + "/", "f", buffer, nullptr, &onRead, &pieces, 4096);
  ASSERT_TRUE(status);
  EXPECT_TRUE(status.Value().handedOver);
  EXPECT_TRUE(pieces.IsOpen());
  EXPECT_TRUE(buffer.Bytes().empty());
}

}  // namespace
}  // namespace trawlscope
