// The manifest that makes a run's journal complete: it reads back as it was
// written, and a manifest cut short or changed anywhere is never believed.
#include "platform/journal/RunManifest.h"

#include <gtest/gtest.h>

#include "platform/journal/ContentHash.h"
#include "platform/journal/JournalFolder.h"

namespace trawlscope {
namespace {

RunManifest Sample() {
  RunManifest manifest;
  manifest.description = {1700000000, "関数\t(x)", "函数%", "trawlscope-batch --replace '函数' '関数'"};
  JournalEntry entry;
  entry.path = "/data/odd\x93name\n.txt";
  entry.originalName = OriginalName(7);
  entry.originalSize = 12;
  entry.originalHash = ContentHash("original bytes");
  entry.written.device = 2049;
  entry.written.inode = 123456789;
  entry.written.size = 14;
  entry.written.modified = {1700000001, 999999999};
  entry.writtenHash = ContentHash("written bytes");
  manifest.files = {entry, entry};
  manifest.files[1].path = "/data/second.txt";
  return manifest;
}

TEST(ContentHash, IsSha256) {
  EXPECT_EQ(ContentHash(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(ContentHash("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(RunManifest, ReadsBackEveryFieldAndAnyBytesOfAPath) {
  const RunManifest written = Sample();
  const auto read = ParseManifest(ManifestBytes(written));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->description.time, 1700000000);
  EXPECT_EQ(read->description.searchText, "関数\t(x)");
  EXPECT_EQ(read->description.replacementText, "函数%");
  EXPECT_EQ(read->description.command, written.description.command);
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
  const std::string bytes = ManifestBytes(Sample());
  for (size_t length = 0; length < bytes.size(); ++length)
    EXPECT_FALSE(ParseManifest(std::string_view(bytes).substr(0, length))) << "cut at " << length;
}

TEST(RunManifest, AnyChangedByteIsDamage) {
  const std::string bytes = ManifestBytes(Sample());
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
