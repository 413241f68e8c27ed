#include "platform/files/SafeFileWriter.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include <grp.h>
#include <sys/wait.h>

#include "platform/files/FileReader.h"
#include "support/ForwardingFileOps.h"
#include "support/TempTree.h"

namespace trawlscope {
namespace {

using test::TempTree;

// The real calls, with one of them made to fail when asked, and another
// program appending to the file at one chosen moment of the write.
class FailingOps final : public test::ForwardingFileOps {
 public:
  enum class Fail { Nothing, CreateTemporary, ShortWriteThenFull, WriteNoSpace, Sync, Rename, PWrite, Reserve };
  enum class Moment { OpenForWriting, TemporarySync, TemporaryClose, Rename };
  Fail fail = Fail::Nothing;
  int writesStarted = 0;  // temporary files created and opens for writing

  ~FailingOps() override {
    if (appendFd_ >= 0) close(appendFd_);
  }
  // Through a descriptor opened now, so the lines reach this file even once
  // another one has taken its name, as with a program that keeps a log open.
  void AppendTo(const std::string& path, Moment when, int times = 1) {
    appendFd_ = open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    appendWhen_ = when;
    appendsLeft_ = times;
  }
  static std::string AppendedLine(int n) { return "appended line " + std::to_string(n) + "\n"; }

  int OpenAt(int folder, const char* name, int flags, mode_t mode) override {
    if ((flags & O_ACCMODE) != O_RDONLY) {
      ++writesStarted;
      AppendAt(Moment::OpenForWriting);
    }
    return real_.OpenAt(folder, name, flags, mode);
  }
  int CreateTemporaryAt(int folder, std::string& nameTemplate) override {
    ++writesStarted;
    if (fail == Fail::CreateTemporary) return Error(EACCES);
    temporaryFd_ = real_.CreateTemporaryAt(folder, nameTemplate);
    return temporaryFd_;
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
  int Sync(int fd) override {
    if (fd == temporaryFd_) AppendAt(Moment::TemporarySync);
    return fail == Fail::Sync ? Error(EIO) : real_.Sync(fd);
  }
  int Close(int fd) override {
    if (fd == temporaryFd_) {
      AppendAt(Moment::TemporaryClose);
      temporaryFd_ = -1;  // the number is free for the next descriptor
    }
    return real_.Close(fd);
  }
  int RenameAt(int folder, const char* from, const char* to) override {
    AppendAt(Moment::Rename);
    return fail == Fail::Rename ? Error(EXDEV) : real_.RenameAt(folder, from, to);
  }

 private:
  static int Error(int error) {
    errno = error;
    return -1;
  }
  void AppendAt(Moment now) {
    if (appendFd_ < 0 || now != appendWhen_ || appendsLeft_ == 0) return;
    const std::string line = AppendedLine(++appended_);
    ASSERT_EQ(write(appendFd_, line.data(), line.size()), static_cast<ssize_t>(line.size()));
    --appendsLeft_;
  }
  bool shortWritten_ = false;
  int temporaryFd_ = -1;
  int appendFd_ = -1;
  Moment appendWhen_ = Moment::Rename;
  int appendsLeft_ = 0;
  int appended_ = 0;
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
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, before);
  ASSERT_TRUE(result.Ok());
  EXPECT_EQ(tree.Read("f.txt"), kNew);
  EXPECT_EQ(IdentityOf(path).mode & 07777, 0640u);
  if (haveXattr) {
    char value[8] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.tag", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

TEST(SafeFileWriter, SymbolicLinkIsWrittenThroughOnlyWhenAskedAndStaysALink) {
  for (const Links links : {Links::NotFollowed, Links::Followed}) {
    SCOPED_TRACE(static_cast<int>(links));
    TempTree tree;
    const std::string target = tree.Write("real/f.txt", kOld);
    const std::string link = tree.Path("link.txt");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    const Outcome<FileIdentity> result = RewriteFile(link, kNew, kOld, IdentityOf(link), SystemFileOps(), links);
    EXPECT_EQ(result.Ok(), links == Links::Followed);
    if (links == Links::NotFollowed) {
      EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::SymbolicLink));
    }
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(tree.Read("real/f.txt"), links == Links::Followed ? kNew : kOld);
    EXPECT_EQ(EntriesIn(tree.Path("real")), 1u);
  }
}

// Another user, after the read, moves the file out of the searched folder
// and leaves a link to it in its place: the file is the one read, but the
// write would land where the user never aimed.
TEST(SafeFileWriter, AFileSwappedForALinkToItAfterTheReadIsNotWrittenThrough) {
  TempTree tree;
  const std::string path = tree.Write("searched/f.txt", kOld);
  const FileIdentity asRead = IdentityOf(path);
  tree.Write("elsewhere/keep", "");
  ASSERT_EQ(rename(path.c_str(), tree.Path("elsewhere/f.txt").c_str()), 0);
  ASSERT_EQ(symlink(tree.Path("elsewhere/f.txt").c_str(), path.c_str()), 0);
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, asRead);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::SymbolicLink));
  EXPECT_EQ(tree.Read("elsewhere/f.txt"), kOld);
}

TEST(SafeFileWriter, HardLinksStayOneFile) {
  TempTree tree;
  const std::string path = tree.Write("a.txt", kOld);
  ASSERT_EQ(link(path.c_str(), tree.Path("b.txt").c_str()), 0);
  const auto before = IdentityOf(path);
  const Outcome<FileIdentity> result = RewriteFile(path, "short\n", kOld, before);
  ASSERT_TRUE(result.Ok());
  EXPECT_EQ(tree.Read("b.txt"), "short\n");
  EXPECT_EQ(IdentityOf(tree.Path("b.txt")).inode, before.inode);
}

TEST(SafeFileWriter, ReadOnlyFileIsNotWrittenEvenInAWritableFolder) {
  TempTree tree;
  const std::string path = tree.Write("ro.txt", kOld);
  chmod(path.c_str(), 0444);
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path));
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::ReadOnly));
  EXPECT_EQ(tree.Read("ro.txt"), kOld);
}

// Each of these pins one of the writer's identity checks: with that check
// gone, the appended line is lost or the write goes further than it should.
TEST(SafeFileWriter, FileChangedSinceItWasReadIsLeftAloneBeforeAnyWriting) {
  for (const bool hardLinked : {false, true}) {
    SCOPED_TRACE(hardLinked);
    TempTree tree;
    const std::string path = tree.Write("f.txt", kOld);
    if (hardLinked) {
      ASSERT_EQ(link(path.c_str(), tree.Path("g.txt").c_str()), 0);
    }
    const auto asRead = IdentityOf(path);
    tree.Write("f.txt", "someone else's edit\n");
    timespec later[2] = {{0, UTIME_OMIT}, {asRead.modified.tv_sec + 5, 0}};
    utimensat(AT_FDCWD, path.c_str(), later, 0);
    FailingOps ops;
    const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, asRead, ops);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::ChangedSinceRead));
    EXPECT_EQ(ops.writesStarted, 0);
    EXPECT_EQ(tree.Read("f.txt"), "someone else's edit\n");
  }
}

TEST(SafeFileWriter, ChangeAsTheInPlaceWriteBeginsIsLeftAlone) {
  TempTree tree;
  const std::string path = tree.Write("a.txt", kOld);
  ASSERT_EQ(link(path.c_str(), tree.Path("b.txt").c_str()), 0);
  FailingOps ops;
  ops.AppendTo(path, FailingOps::Moment::OpenForWriting);
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::ChangedSinceRead));
  EXPECT_EQ(tree.Read("b.txt"), kOld + FailingOps::AppendedLine(1));
}

TEST(SafeFileWriter, ChangeWhileTheNewFileIsFlushedStopsTheRename) {
  using Moment = FailingOps::Moment;
  for (const Moment moment : {Moment::TemporarySync, Moment::TemporaryClose}) {
    SCOPED_TRACE(static_cast<int>(moment));
    TempTree tree;
    const std::string path = tree.Write("f.txt", kOld);
    FailingOps ops;
    ops.AppendTo(path, moment);
    const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::ChangedSinceRead));
    EXPECT_EQ(tree.Read("f.txt"), kOld + FailingOps::AppendedLine(1));
    EXPECT_EQ(EntriesIn(tree.Root()), 1u);
  }
}

TEST(SafeFileWriter, AppendJustBeforeTheRenameIsPutBackWithTheOldFilesAttributes) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  chmod(path.c_str(), 0640);
  const bool haveXattr = setxattr(path.c_str(), "user.tag", "kept", 4, 0) == 0;
  FailingOps ops;
  ops.AppendTo(path, FailingOps::Moment::Rename);
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::ChangedDuringWrite));
  EXPECT_EQ(tree.Read("f.txt"), kOld + FailingOps::AppendedLine(1));
  EXPECT_EQ(IdentityOf(path).mode & 07777, 0640u);
  if (haveXattr) {
    char value[8] = {};
    EXPECT_EQ(getxattr(path.c_str(), "user.tag", value, sizeof value), 4);
    EXPECT_STREQ(value, "kept");
  }
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

TEST(SafeFileWriter, AppendWhileTheOldContentIsPutBackIsKeptToo) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  FailingOps ops;
  ops.AppendTo(path, FailingOps::Moment::Rename, 2);
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
  EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::ChangedDuringWrite));
  EXPECT_EQ(tree.Read("f.txt"), kOld + FailingOps::AppendedLine(1) + FailingOps::AppendedLine(2));
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

TEST(SafeFileWriter, FileThatNeverStopsChangingIsNotChasedForEver) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  FailingOps ops;
  ops.AppendTo(path, FailingOps::Moment::Rename, 1000);
  const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
  EXPECT_FALSE(result.Ok());
  EXPECT_EQ(result.Failure(), FileError::Refused(FileRefusal::PutBackFailed));
  EXPECT_EQ(tree.Read("f.txt").rfind(kOld + FailingOps::AppendedLine(1), 0), 0u);
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
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
    const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, IdentityOf(path), ops);
    EXPECT_FALSE(result.Ok());
    EXPECT_NE(result.Failure(), FileError());
    EXPECT_EQ(tree.Read("f.txt"), kOld);
    EXPECT_EQ(EntriesIn(tree.Root()), 1u);
  }
}

TEST(SafeFileWriter, FullDiskIsTheWriteStepWithItsErrno) {
  TempTree tree;
  const std::string path = tree.Write("f.txt", kOld);
  FailingOps ops;
  ops.fail = FailingOps::Fail::WriteNoSpace;
  EXPECT_EQ(RewriteFile(path, kNew, kOld, IdentityOf(path), ops).Failure(), FileError::System(FileStep::Write, ENOSPC));
}

TEST(SafeFileWriter, FailedInPlaceWritePutsTheOldBytesBack) {
  using Fail = FailingOps::Fail;
  for (const Fail fail : {Fail::PWrite, Fail::Reserve}) {
    TempTree tree;
    const std::string path = tree.Write("a.txt", kOld);
    ASSERT_EQ(link(path.c_str(), tree.Path("b.txt").c_str()), 0);
    FailingOps ops;
    ops.fail = fail;
    EXPECT_FALSE(RewriteFile(path, kNew, kOld, IdentityOf(path), ops).Ok());
    EXPECT_EQ(tree.Read("b.txt"), kOld);
  }
}

// Another user's file in a folder open to all: a new file would be this
// user's, so the bytes go into the file itself.
TEST(SafeFileWriter, AnOwnerANewFileCannotTakeIsKeptByWritingInPlace) {
  if (geteuid() != 0) GTEST_SKIP() << "giving a file another owner needs root";
  struct NotRootOps final : test::ForwardingFileOps {
    int ChangeOwner(int, uid_t, gid_t) override {
      errno = EPERM;
      return -1;
    }
  } ops;
  TempTree tree;
  const std::string path = tree.Write("theirs.txt", kOld);
  ASSERT_EQ(chown(path.c_str(), 4242, 4343), 0);
  chmod(path.c_str(), 0666);
  const FileIdentity before = IdentityOf(path);
  ASSERT_TRUE(RewriteFile(path, kNew, kOld, before, ops).Ok());
  EXPECT_EQ(tree.Read("theirs.txt"), kNew);
  const FileIdentity after = IdentityOf(path);
  EXPECT_EQ(after.owner, 4242u);
  EXPECT_EQ(after.group, 4343u);
  EXPECT_EQ(after.inode, before.inode);
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}

TEST(SafeFileWriter, NewFilesGetTheirModeWithoutTouchingTheUmask) {
  TempTree tree;
  const mode_t saved = umask(027);
  ASSERT_TRUE(WriteWholeFile(tree.Path("out.csv"), "x").Ok());
  umask(0);
  ASSERT_TRUE(WritePrivateFile(tree.Path("kept.orig"), "x").Ok());
  umask(saved);
  EXPECT_EQ(IdentityOf(tree.Path("out.csv")).mode & 07777, 0640u);
  EXPECT_EQ(IdentityOf(tree.Path("kept.orig")).mode & 07777, 0600u);
}

TEST(SafeFileWriter, WholeFileWriteCreatesAndReplaces) {
  TempTree tree;
  ASSERT_TRUE(WriteWholeFile(tree.Path("out.csv"), "one").Ok());
  ASSERT_TRUE(WriteWholeFile(tree.Path("out.csv"), "two").Ok());
  EXPECT_EQ(tree.Read("out.csv"), "two");
  EXPECT_FALSE(WriteWholeFile(tree.Path("missing/out.csv"), "x").Ok());
  EXPECT_EQ(EntriesIn(tree.Root()), 1u);
}


// As another user, outside the file's group: the kernel clears the
// set-group-ID bit of a file such a user writes into, and of a new file
// that user gives it, without a word. The file must stay as it was.
TEST(SafeFileWriter, ASetGroupIdFileThatWouldLoseItsBitIsLeftUnchanged) {
  if (geteuid() != 0) GTEST_SKIP() << "acting as another user needs root";
  constexpr uid_t kWriter = 65534;
  constexpr gid_t kOtherGroup = 4343;
  for (const bool folderSetsGroup : {false, true}) {
    SCOPED_TRACE(folderSetsGroup);
    TempTree tree;
    const std::string path = tree.Write("shared/s.txt", kOld);
    const std::string folder = tree.Path("shared");
    ASSERT_EQ(chmod(tree.Root().c_str(), 0755), 0);
    // A folder that hands its group to new files gives the new file the
    // right group, and only the mode then goes wrong.
    ASSERT_EQ(chown(folder.c_str(), 0, kOtherGroup), 0);
    ASSERT_EQ(chmod(folder.c_str(), folderSetsGroup ? 02777 : 0777), 0);
    ASSERT_EQ(chown(path.c_str(), kWriter, kOtherGroup), 0);
    ASSERT_EQ(chmod(path.c_str(), 02775), 0);
    const FileIdentity asRead = IdentityOf(path);
    const pid_t child = fork();
    if (child == 0) {
      const bool dropped = setgroups(0, nullptr) == 0 && setresgid(kWriter, kWriter, kWriter) == 0 &&
                           setresuid(kWriter, kWriter, kWriter) == 0;
      if (!dropped) _exit(3);
      const Outcome<FileIdentity> result = RewriteFile(path, kNew, kOld, asRead);
      _exit(result.Ok() ? 1 : result.Failure() == FileError::Refused(FileRefusal::SpecialBitsNotKept) ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(tree.Read("shared/s.txt"), kOld);
    EXPECT_EQ(IdentityOf(path).mode & 07777, 02775u);
    EXPECT_EQ(EntriesIn(folder), 1u);
  }
}

}  // namespace
}  // namespace trawlscope
