// The manifest that makes a run's journal complete: it reads back as it was
// written, and a manifest cut short or changed anywhere is never believed.
#include "platform/journal/RunManifest.h"

#include <gtest/gtest.h>

#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalFolder.h"

namespace trawlscope {
namespace {

// A manifest as earlier versions wrote it (nothing writes one now): a
// control character or '%' in a text as %XX, and a last line that is the
// checksum of everything before it.
std::string OldManifest() {
  const std::string file = "\t000007.orig\t12\t" + ContentHash("original bytes") +
                           "\t2049\t123456789\t14\t1700000001\t999999999\t" + ContentHash("written bytes") + "\n";
  const std::string body = "trawlscope-undo 1\n"
                           "time\t1700000000\n"
                           "search\t関数%09(x)\n"
                           "replacement\t函数%25\n"
                           "command\ttrawlscope-batch --replace '函数' '関数'\n"
                           "file\t/data/odd\x93name%0A.txt" + file +
                           "file\t/data/second.txt" + file +
                           "end\t2\n";
  return body + "checksum\t" + ContentHash(body) + "\n";
}

TEST(ContentHash, IsSha256) {
  EXPECT_EQ(ContentHash(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(ContentHash("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(RunManifest, ReadsBackEveryFieldAndAnyBytesOfAPath) {
  const auto read = ParseManifest(OldManifest());
  ASSERT_TRUE(read);
  EXPECT_EQ(read->description.time, 1700000000);
  EXPECT_EQ(read->description.searchText, "関数\t(x)");
  EXPECT_EQ(read->description.replacementText, "函数%");
  EXPECT_EQ(read->description.command, "trawlscope-batch --replace '函数' '関数'");
  ASSERT_EQ(read->files.size(), 2u);
  const JournalEntry& entry = read->files[0];
  EXPECT_EQ(entry.path, "/data/odd\x93name\n.txt");
  EXPECT_EQ(entry.originalName, "000007.orig");
  EXPECT_EQ(entry.originalSize, 12u);
  EXPECT_EQ(entry.originalHash, ContentHash("original bytes"));
  EXPECT_EQ(entry.written.device, 2049u);
  EXPECT_EQ(entry.written.inode, 123456789u);
  EXPECT_EQ(entry.written.size, 14);
  EXPECT_EQ(entry.written.modified.tv_sec, 1700000001);
  EXPECT_EQ(entry.written.modified.tv_nsec, 999999999);
  EXPECT_EQ(entry.writtenHash, ContentHash("written bytes"));
  EXPECT_EQ(read->files[1].path, "/data/second.txt");
}

TEST(RunManifest, CutShortAtAnyByteIsNeverARun) {
  const std::string bytes = OldManifest();
  for (size_t length = 0; length < bytes.size(); ++length)
    EXPECT_FALSE(ParseManifest(std::string_view(bytes).substr(0, length))) << "cut at " << length;
}

TEST(RunManifest, AnyChangedByteIsDamage) {
  const std::string bytes = OldManifest();
  for (size_t i = 0; i < bytes.size(); ++i) {
    std::string damaged = bytes;
    damaged[i] = static_cast<char>(damaged[i] ^ 0x01);
    EXPECT_FALSE(ParseManifest(damaged)) << "byte " << i;
  }
}

TEST(RunManifest, OriginalsAreNamedOnlyAsTheJournalNamesThem) {
  EXPECT_TRUE(IsOriginalName("000000.orig"));
  EXPECT_TRUE(IsOriginalName(OriginalName(123456)));
  EXPECT_FALSE(IsOriginalName("../x.orig"));
  EXPECT_FALSE(IsOriginalName("/etc/passwd"));
  EXPECT_FALSE(IsOriginalName("00000a.orig"));
  EXPECT_FALSE(IsOriginalName("0000000.orig"));
}

TEST(JournalFolder, FollowsTheXdgStateRules) {
  EXPECT_EQ(UndoJournalFolder("/s", "/home/u"), "/s/trawlscope/undo");
  EXPECT_EQ(UndoJournalFolder(nullptr, "/home/u"), "/home/u/.local/state/trawlscope/undo");
  EXPECT_EQ(UndoJournalFolder("relative/path", "/home/u"), "/home/u/.local/state/trawlscope/undo");
  EXPECT_EQ(UndoJournalFolder("", "/home/u"), "/home/u/.local/state/trawlscope/undo");
  EXPECT_EQ(UndoJournalFolder(nullptr, nullptr), "");
}

}  // namespace
}  // namespace trawlscope
