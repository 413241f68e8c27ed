#include "platform/files/SharedFolders.h"

#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <random>
#include <thread>
#include <vector>

#include "platform/files/FileReader.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

size_t OpenDescriptors() {
  size_t count = 0;
  if (DIR* listing = opendir("/proc/self/fd")) {
    while (readdir(listing) != nullptr) ++count;
    closedir(listing);
  }
  return count;
}

// Whether `fd` is the folder at `path`: the same inode on the same device.
bool IsFolder(int fd, const std::string& path) {
  struct stat held, named;
  return fd >= 0 && fstat(fd, &held) == 0 && stat(path.c_str(), &named) == 0 && held.st_ino == named.st_ino &&
         held.st_dev == named.st_dev;
}

TEST(SharedFolders, HoldersOfOneFolderShareItsDescriptorAndNothingLeaks) {
  test::TempTree tree;
  const std::string a = tree.MakeFolder("a") + "/", b = tree.MakeFolder("b") + "/";
  const size_t before = OpenDescriptors();
  {
    SharedFolders folders;
    const int first = folders.Hold(a);
    const int second = folders.Hold(a);
    EXPECT_EQ(first, second);
    EXPECT_TRUE(IsFolder(first, a));
    const int other = folders.Hold(b);
    EXPECT_NE(other, first);
    EXPECT_TRUE(IsFolder(other, b));
    folders.Release(first);
    folders.Release(second);
    folders.Release(other);
    // Let go, but kept open: the next holder finds it.
    EXPECT_EQ(folders.Hold(a), first);
    folders.Release(first);
    // Many folders later, every slot has been reused and the old ones closed.
    for (int i = 0; i < 40; ++i) {
      const std::string folder = tree.MakeFolder("many/" + std::to_string(i)) + "/";
      const int fd = folders.Hold(folder);
      EXPECT_TRUE(IsFolder(fd, folder)) << i;
      folders.Release(fd);
    }
    EXPECT_LT(OpenDescriptors(), before + 20);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

// A folder that cannot be opened says why, and holds no slot: the others
// keep working however often it is asked for.
TEST(SharedFolders, AFolderThatCannotBeOpenedHoldsNoSlot) {
  test::TempTree tree;
  const std::string good = tree.MakeFolder("good") + "/";
  SharedFolders folders;
  std::vector<int> held;
  for (int i = 0; i < 40; ++i) {
    errno = 0;
    EXPECT_EQ(folders.Hold(tree.Path("missing/")), -1);
    EXPECT_EQ(errno, ENOENT);
    held.push_back(folders.Hold(tree.MakeFolder("held/" + std::to_string(i % 8)) + "/"));
  }
  const int fd = folders.Hold(good);
  EXPECT_TRUE(IsFolder(fd, good));
  folders.Release(fd);
  for (const int each : held) folders.Release(each);
}

// Searchers arriving at the same folders at the same moments each get that
// folder, never another's descriptor or one closed under them.
TEST(SharedFolders, ManyThreadsHoldingAtOnceEachGetTheirFolder) {
  test::TempTree tree;
  std::vector<std::string> paths;
  for (int i = 0; i < 24; ++i) paths.push_back(tree.MakeFolder("f" + std::to_string(i)) + "/");
  tree.Write("f3/file.txt", "bytes");
  const size_t before = OpenDescriptors();
  {
    SharedFolders folders;
    std::vector<std::thread> threads;
    std::atomic<int> wrong{0};
    for (int t = 0; t < 4; ++t) {
      threads.emplace_back([&, t] {
        std::mt19937 random(t);
        FolderCursor cursor;
        cursor.Share(folders);
        for (int round = 0; round < 3000; ++round) {
          // Mostly the same few folders in the same order, as a run's searchers see them.
          const std::string& path = paths[(round / 5 + (random() % 3 == 0 ? random() % 24 : 0)) % 24];
          if (!IsFolder(cursor.FolderFd(path), path)) ++wrong;
        }
        FileBuffer buffer;
        if (!ReadWholeFileIn(cursor, paths[3], "file.txt", buffer) || buffer.Bytes() != "bytes") ++wrong;
      });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
  }
  EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
}  // namespace trawlscope
