#include "platform/SafeFileWriter.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "platform/FileReader.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

// The real calls, with one of them made to fail when asked.
class FailingOps final : public IFileOps {
 public:
  enum class Fail { Nothing, CreateTemporary, ShortWriteThenFull, WriteNoSpace, Sync, Rename, PWrite, Reserve };
  Fail fail = Fail::Nothing;

  int Open(const char* path, int flags, mode_t mode) override { return real_.Open(path, flags, mode); }
  int CreateTemporary(std::string& pathTemplate) override {
    if (fail == Fail::CreateTemporary) return Error(EACCES);
    return real_.CreateTemporary(pathTemplate);
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (fail == Fail::WriteNoSpace) return Error(ENOSPC);
    if (fail == Fail::ShortWriteThenFull) {
      if (shortWritten_) return Error(ENOSPC);
      shortWritten_ = true;
      return real_.Write(fd, data, size / 2);
    }
    return real_.Write(fd, data, size);
  }
  ssize_t PWrite(int fd, const void* data, size_t size, off_t offset) override {
    if (fail == Fail::PWrite && offset == 0 && !shortWritten_) {
      shortWritten_ = true;
      real_.PWrite(fd, data, size / 2, offset);
      return Error(EIO);
    }
    return real_.PWrite(fd, data, size, offset);
  }
  int Reserve(int fd, off_t size) override {
    return fail == Fail::Reserve ? Error(ENOSPC) : real_.Reserve(fd, size);
  }
  int Truncate(int fd, off_t size) override { return real_.Truncate(fd, size); }
  int Sync(int fd) override { return fail == Fail::Sync ? Error(EIO) : real_.Sync(fd); }
  int Close(int fd) override { return real_.Close(fd); }
  int Rename(const char* from, const char* to) override {
    return fail == Fail::Rename ? Error(EXDEV) : real_.Rename(from, to);
  }
  int Unlink(const char* path) override { return real_.Unlink(path); }
  int Stat(const char* path, struct stat* info) override { return real_.Stat(path, info); }
  int ChangeMode(int fd, mode_t mode) override { return real_.ChangeMode(fd, mode); }
  int ChangeOwner(int fd, uid_t owner, gid_t group) override { return real_.ChangeOwner(fd, owner, group); }
  int CopyExtendedAttributes(int from, int to) override { return real_.CopyExtendedAttributes(from, to); }

 private:
  static int Error(int error) {
    errno = error;
    return -1;
  }
  IFileOps& real_ = SystemFileOps();
  bool shortWritten_ = false;
};

FileIdentity IdentityOf(const std::string& path) {
  struct stat info;
  stat(path.c_str(), &info);
  return FileIdentity::Of(info);
}

size_t EntriesIn(const std::string& folder) {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++count;
  return count;
}

const std::string kOld = "old content\r\n";
const std::string kNew = "new content, longer than the old one\r\n";

TEST(SafeFileWriter, RewritesKeepingModeAndExtendedAttributes) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  chmod(path.c_str(), 0640);
  const bool haveXattr = setxattr(path.c_str(), "user.tag", "kept", 4, 0) == 0;
  const auto before = IdentityOf(path);
  const WriteResult result = RewriteFile(path, kNew, kOld, before);
  ASSERT_TRUE(result.written) << result.reason;
  EXPECT_EQ(tree.Read("f.txt"), kNew);
  EXPECT_EQ(IdentityOf(path).mode & 07777, 0640u);
  if (haveXattr) {
    char value[8] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.tag", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

TEST(SafeFileWriter, SymbolicLinkStaysALinkAndItsTargetIsRewritten) {
  TempTree tree;
  const std::string target = tree.Write("real/f.txt", kOld);
  const std::string link = tree.Path("link.txt");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_TRUE(RewriteFile(link, kNew, kOld, IdentityOf(link)).written);
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(tree.Read("real/f.txt"), kNew);
  EXPECT_EQ(EntriesIn(tree.Path("real")), 1u);
}

TEST(SafeFileWriter, HardLinksStayOneFile) {
  TempTree tree;
  const std::string path = tree.Write("a.txt", kOld);
  ASSERT_EQ(link(path.c_str(), tree.Path("b.txt").c_str()), 0);
  const auto before = IdentityOf(path);
  const WriteResult result = RewriteFile(path, "short\n", kOld, before);
  ASSERT_TRUE(result.written) << result.reason;
  EXPECT_EQ(tree.Read("b.txt"), "short\n");
  EXPECT_EQ(IdentityOf(tree.Path("b.txt")).inode, before.inode);
}

TEST(SafeFileWriter, ReadOnlyFileIsNotWrittenEvenInAWritableFolder) {
  TempTree tree;
  const std::string path = tree.Write("ro.txt", kOld);
  chmod(path.c_str(), 0444);
  const WriteResult result = RewriteFile(path, kNew, kOld, IdentityOf(path));
  EXPECT_FALSE(result.written);
  EXPECT_EQ(result.reason, "the file is read-only");
  EXPECT_EQ(tree.Read("ro.txt"), kOld);
}

TEST(SafeFileWriter, FileChangedSinceItWasReadIsLeftAlone) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  const auto asRead = IdentityOf(path);
  tree.Write("f.txt", "someone else's edit\n");
  timespec later[2] = {{0, UTIME_OMIT}, {asRead.modified.tv_sec + 5, 0}};
  utimensat(AT_FDCWD, path.c_str(), later, 0);
  const WriteResult result = RewriteFile(path, kNew, kOld, asRead);
  EXPECT_FALSE(result.written);
  EXPECT_EQ(tree.Read("f.txt"), "someone else's edit\n");
}

TEST(SafeFileWriter, EveryInjectedFailureLeavesTheOriginalWholeAndNoTemporaryFile) {
  using Fail = FailingOps::Fail;
  for (const Fail fail : {Fail::CreateTemporary, Fail::ShortWriteThenFull, Fail::WriteNoSpace,
                          Fail::Sync, Fail::Rename}) {
    SCOPED_TRACE(static_cast<int>(fail));
    TempTree tree;
    const std::string path = tree.Write("f.txt", kOld);
    FailingOps ops;
    ops.fail = fail;
    const WriteResult result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
    EXPECT_FALSE(result.written);
    EXPECT_FALSE(result.reason.empty());
    EXPECT_EQ(tree.Read("f.txt"), kOld);
    EXPECT_EQ(EntriesIn(tree.Root()), 1u);
  }
}

TEST(SafeFileWriter, FullDiskIsSaidInWords) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  FailingOps ops;
  ops.fail = FailingOps::Fail::WriteNoSpace;
  EXPECT_EQ(RewriteFile(path, kNew, kOld, IdentityOf(path), ops).reason, "writing failed: the disk is full");
}

TEST(SafeFileWriter, FailedInPlaceWritePutsTheOldBytesBack) {
  using Fail = FailingOps::Fail;
  for (const Fail fail : {Fail::PWrite, Fail::Reserve}) {
    TempTree tree;
    const std::string path = tree.Write("a.txt", kOld);
    ASSERT_EQ(link(path.c_str(), tree.Path("b.txt").c_str()), 0);
    FailingOps ops;
    ops.fail = fail;
    EXPECT_FALSE(RewriteFile(path, kNew, kOld, IdentityOf(path), ops).written);
    EXPECT_EQ(tree.Read("b.txt"), kOld);
  }
}

TEST(SafeFileWriter, WholeFileWriteCreatesAndReplaces) {
  TempTree tree;
  ASSERT_TRUE(WriteWholeFile(tree.Path("out.csv"), "one").written);
  ASSERT_TRUE(WriteWholeFile(tree.Path("out.csv"), "two").written);
  EXPECT_EQ(tree.Read("out.csv"), "two");
  EXPECT_FALSE(WriteWholeFile(tree.Path("missing/out.csv"), "x").written);
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

}  // namespace
}  // namespace trawlscope
