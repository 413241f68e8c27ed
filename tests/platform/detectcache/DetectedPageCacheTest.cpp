// The cache of detected code pages on disk: what it keeps, what it refuses
// to keep, and the files and folders it will not trust.
#include "platform/detectcache/DetectedPageCache.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "platform/detectcache/BuildId.h"
#include "platform/detectcache/CacheFolder.h"
#include "platform/detectcache/PageCacheFormat.h"
#include "support/ForwardingFileOps.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

constexpr std::int64_t kSecond = 1'000'000'000;
constexpr std::int64_t kNow = 1'900'000'000 * kSecond;  // 2030
std::int64_t Now() { return kNow; }
constexpr char kBuild[] = "build-one";
constexpr char kName[] = "codepages";

PageCacheKey KeyAt(std::uint64_t inode, std::int64_t modifiedNs = kNow - 3600 * kSecond,
                   std::int64_t changedNs = kNow - 3600 * kSecond) {
  return {42, inode, 1000, modifiedNs, changedNs};
}

class DetectedPageCacheTest : public testing::Test {
 protected:
  TempTree tree;
  std::string folder = tree.Path("cache/trawlscope");
  std::string file = folder + "/" + kName;

  DetectedPageCache Open(const char* build = kBuild) { return DetectedPageCache(folder, kName, build, Now); }
  void Keep(std::vector<std::pair<PageCacheKey, CodePage>> pages) {
    DetectedPageCache cache = Open();
    for (const auto& [key, page] : pages) cache.Remember(key, page);
    ASSERT_TRUE(cache.Save());
  }
  std::optional<std::vector<PageCacheEntry>> OnDisk() const {
    return DecodePageCache(tree.Read("cache/trawlscope/codepages"), kBuild);
  }
};

TEST_F(DetectedPageCacheTest, PagesKeptByOneRunAreFoundByTheNextInAPrivateFile) {
  Keep({{KeyAt(1), 932}, {KeyAt(2), 1251}});
  DetectedPageCache next = Open();
  EXPECT_EQ(next.Find(KeyAt(1)), 932u);
  EXPECT_EQ(next.Find(KeyAt(2)), 1251u);
  EXPECT_EQ(next.Find(KeyAt(3)), codepage::kNone);
  struct stat info;
  ASSERT_EQ(stat(file.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0600u);
  ASSERT_EQ(stat(folder.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 0777, 0700u);
}

TEST_F(DetectedPageCacheTest, AFileStampedWithinTwoSecondsOfItsReadingIsNotKept) {
  const struct {
    std::int64_t modified, changed;
    bool kept;
  } cases[] = {
      {kNow - 3 * kSecond, kNow - 3 * kSecond, true},
      {kNow - 1 * kSecond, kNow - 3 * kSecond, false},
      {kNow - 3 * kSecond, kNow - 1, false},
      {kNow + 60 * kSecond, kNow - 3 * kSecond, false},  // stamped in the future
      {kNow - 3 * kSecond, kNow + 60 * kSecond, false},
  };
  std::uint64_t inode = 0;
  for (const auto& c : cases) Keep({{KeyAt(++inode, c.modified, c.changed), 932}});
  DetectedPageCache next = Open();
  inode = 0;
  for (const auto& c : cases)
    EXPECT_EQ(next.Find(KeyAt(++inode, c.modified, c.changed)), c.kept ? 932u : codepage::kNone) << inode;
}

TEST_F(DetectedPageCacheTest, ADamagedOrForeignFileIsIgnoredAndReplaced) {
  const std::string good = EncodePageCache(kBuild, {{KeyAt(1), 932, 1}});
  std::string flipped = good;
  flipped[good.size() / 2] ^= 0x10;
  const std::string cases[] = {
      "",
      good.substr(0, good.size() - 1),
      good + '\0',
      flipped,
      EncodePageCache("build-two", {{KeyAt(1), 932, 1}}),
      EncodePageCache(kBuild, {{KeyAt(2), 932, 1}, {KeyAt(1), 932, 1}}),  // out of order
      EncodePageCache(kBuild, {{KeyAt(1), codepage::kNone, 1}}),
      "[CodePage]\nReadAs=932\n",
  };
  for (const std::string& bytes : cases) {
    tree.Write("cache/trawlscope/codepages", bytes);
    chmod(folder.c_str(), 0700);
    chmod(file.c_str(), 0600);
    DetectedPageCache cache = Open();
    EXPECT_EQ(cache.EntriesRead(), 0u);
    EXPECT_EQ(cache.Find(KeyAt(1)), codepage::kNone);
    ASSERT_TRUE(cache.Save());  // nothing learnt, but the bad file goes
    ASSERT_TRUE(OnDisk().has_value());
    EXPECT_TRUE(OnDisk()->empty());
  }
  EXPECT_EQ(DecodePageCache(good, kBuild)->size(), 1u);
}

TEST_F(DetectedPageCacheTest, AFolderOpenToOthersOrALinkIsNotUsed) {
  const struct {
    mode_t mode;
    bool used;
  } modes[] = {{0700, true}, {0750, false}, {0705, false}, {0701, false}, {0777, false}};
  for (const auto& m : modes) {
    tree.MakeFolder("cache/trawlscope");
    chmod(folder.c_str(), m.mode);
    DetectedPageCache cache = Open();
    EXPECT_EQ(cache.InUse(), m.used) << std::oct << m.mode;
    cache.Remember(KeyAt(1), 932);
    EXPECT_EQ(cache.Save().Ok(), m.used);
    EXPECT_EQ(access(file.c_str(), F_OK) == 0, m.used);
    std::filesystem::remove_all(folder);
  }
  tree.MakeFolder("elsewhere");
  chmod(tree.Path("elsewhere").c_str(), 0700);
  tree.MakeFolder("cache");
  ASSERT_EQ(symlink(tree.Path("elsewhere").c_str(), folder.c_str()), 0);
  DetectedPageCache linked = Open();
  EXPECT_FALSE(linked.InUse());
  linked.Remember(KeyAt(1), 932);
  EXPECT_FALSE(linked.Save());
  EXPECT_TRUE(std::filesystem::is_empty(tree.Path("elsewhere")));
}

TEST_F(DetectedPageCacheTest, ALinkInTheFilesPlaceIsNotFollowedNorWrittenThrough) {
  tree.MakeFolder("cache/trawlscope");
  chmod(folder.c_str(), 0700);
  const std::string target = tree.Write("target", EncodePageCache(kBuild, {{KeyAt(1), 932, 1}}));
  ASSERT_EQ(symlink(target.c_str(), file.c_str()), 0);
  DetectedPageCache cache = Open();
  EXPECT_EQ(cache.Find(KeyAt(1)), codepage::kNone);
  cache.Remember(KeyAt(2), 1251);
  ASSERT_TRUE(cache.Save());
  EXPECT_FALSE(std::filesystem::is_symlink(file));
  EXPECT_EQ(DecodePageCache(tree.Read("target"), kBuild)->size(), 1u);
}

TEST_F(DetectedPageCacheTest, RunsWritingAtOnceLeaveOneWholeFile) {
  constexpr int kRuns = 8;
  constexpr std::uint64_t kPagesEach = 500;
  std::vector<std::thread> runs;
  for (int run = 0; run < kRuns; ++run) {
    runs.emplace_back([this, run] {
      DetectedPageCache cache = Open();
      for (std::uint64_t i = 0; i < kPagesEach; ++i) cache.Remember(KeyAt(run * kPagesEach + i), 932);
      EXPECT_TRUE(cache.Save());
    });
  }
  for (auto& run : runs) run.join();
  const auto entries = OnDisk();
  ASSERT_TRUE(entries.has_value());
  // At least the last writer's; the others' as far as each read the file before writing.
  EXPECT_GE(entries->size(), kPagesEach);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), std::filesystem::directory_iterator()), 1);  // no temporary left
}

TEST_F(DetectedPageCacheTest, TheTemporaryFileOfAKilledRunGoesOnceItIsAnHourOld) {
  tree.MakeFolder("cache/trawlscope");
  chmod(folder.c_str(), 0700);
  const std::string old = tree.Write("cache/trawlscope/codepages.99.0.tmp", "cut short");
  const std::string young = tree.Write("cache/trawlscope/codepages.99.1.tmp", "being written");
  const std::string other = tree.Write("cache/trawlscope/other.99.0.tmp", "not ours");
  for (const std::string& path : {old, other}) {
    const timespec times[2] = {{0, UTIME_OMIT}, {SystemWallClock() / kSecond - 3601, 0}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
  Keep({{KeyAt(1), 932}});
  EXPECT_FALSE(std::filesystem::exists(old));
  EXPECT_TRUE(std::filesystem::exists(young));
  EXPECT_TRUE(std::filesystem::exists(other));
}

TEST_F(DetectedPageCacheTest, TheOldestUsedGoWhenTheFileIsFull) {
  std::vector<PageCacheEntry> full;
  for (std::uint64_t i = 0; i < kMaxPageCacheEntries; ++i)
    full.push_back({KeyAt(i), 932, static_cast<std::uint32_t>(i == 0 || i == 7 ? 100 : 101 + i % 7)});
  tree.MakeFolder("cache/trawlscope");
  chmod(folder.c_str(), 0700);
  tree.Write("cache/trawlscope/codepages", EncodePageCache(kBuild, full));
  chmod(file.c_str(), 0600);
  {
    DetectedPageCache cache = Open();
    ASSERT_EQ(cache.EntriesRead(), kMaxPageCacheEntries);
    EXPECT_EQ(cache.Find(KeyAt(7)), 932u);  // day 100, the oldest, but used now
    cache.Remember(KeyAt(kMaxPageCacheEntries), 1251);
    ASSERT_TRUE(cache.Save());
  }
  DetectedPageCache next = Open();
  EXPECT_EQ(next.EntriesRead(), kMaxPageCacheEntries);
  EXPECT_EQ(next.Find(KeyAt(kMaxPageCacheEntries)), 1251u);
  EXPECT_EQ(next.Find(KeyAt(7)), 932u);
  EXPECT_EQ(next.Find(KeyAt(0)), codepage::kNone);  // the oldest unused went
  EXPECT_EQ(next.Find(KeyAt(1)), 932u);
}

TEST_F(DetectedPageCacheTest, WithoutABuildIdNothingIsKept) {
  DetectedPageCache cache = Open("");
  cache.Remember(KeyAt(1), 932);
  EXPECT_FALSE(cache.Save());
  EXPECT_FALSE(std::filesystem::exists(file));
  EXPECT_FALSE(DetectorBuildId().empty());  // this test program has one
}

TEST(CacheFolderTest, FollowsTheXdgRules) {
  EXPECT_EQ(CacheFolder("/x/cache", "/home/u"), "/x/cache/trawlscope");
  EXPECT_EQ(CacheFolder("relative", "/home/u"), "/home/u/.cache/trawlscope");
  EXPECT_EQ(CacheFolder(nullptr, "/home/u"), "/home/u/.cache/trawlscope");
  EXPECT_EQ(CacheFolder(nullptr, nullptr), "");
}

// Refuses to make folders; cuts writes to the cache's temporary files to
// half while claiming them whole, as a failing disk would.
class FaultyCacheOps final : public test::ForwardingFileOps {
 public:
  bool refuseFolders = false;
  bool cutWrites = false;
  int faults = 0;

  int MakeFolderAt(int folder, const char* name, mode_t mode) override {
    if (!refuseFolders) return real_.MakeFolderAt(folder, name, mode);
    ++faults;
    errno = EACCES;
    return -1;
  }
  int OpenAt(int folder, const char* name, int flags, mode_t mode) override {
    const int fd = real_.OpenAt(folder, name, flags, mode);
    if (fd >= 0 && cutWrites && std::string_view(name).ends_with(".tmp")) cut_ = fd;
    return fd;
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (fd != cut_ || size < 2) return real_.Write(fd, data, size);
    ++faults;
    const ssize_t written = real_.Write(fd, data, size / 2);
    return written < 0 ? written : static_cast<ssize_t>(size);
  }

 private:
  int cut_ = -1;
};

TEST_F(DetectedPageCacheTest, AFolderThatCannotBeMadeLeavesTheCacheUnusedAndSaysWhy) {
  FaultyCacheOps ops;
  ops.refuseFolders = true;
  DetectedPageCache cache(folder, kName, kBuild, Now, ops);
  EXPECT_FALSE(cache.InUse());
  cache.Remember(KeyAt(1), 932);
  EXPECT_EQ(cache.Find(KeyAt(1)), codepage::kNone);
  const Outcome<> saved = cache.Save();
  ASSERT_FALSE(saved);
  EXPECT_EQ(saved.Failure(), FileError::System(FileStep::MakeFolder, EACCES));
  EXPECT_GT(ops.faults, 0);
  EXPECT_FALSE(std::filesystem::exists(folder));
}

TEST_F(DetectedPageCacheTest, ACacheFileWrittenShortIsIgnoredByTheNextRun) {
  FaultyCacheOps ops;
  ops.cutWrites = true;
  {
    DetectedPageCache cache(folder, kName, kBuild, Now, ops);
    cache.Remember(KeyAt(1), 932);
    ASSERT_TRUE(cache.Save());  // the disk claimed every byte
  }
  ASSERT_GT(ops.faults, 0);
  ASSERT_TRUE(std::filesystem::exists(file));
  DetectedPageCache next = Open();
  EXPECT_EQ(next.EntriesRead(), 0u);
  EXPECT_EQ(next.Find(KeyAt(1)), codepage::kNone);
}

}  // namespace
}  // namespace trawlscope
