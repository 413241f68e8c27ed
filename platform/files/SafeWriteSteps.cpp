#include "platform/files/SafeWriteSteps.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <vector>

#include "platform/files/NativePath.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope::safewrite {
namespace {

constexpr mode_t kWriteBits = 0222;
constexpr int kPutBackAttempts = 3;  // a file that keeps changing is not chased for ever
constexpr size_t kCopyBytes = 1u << 20;

constexpr unsigned kFileSetIdCapability = 4;  // CAP_FSETID
constexpr mode_t kSpecialBits = S_ISUID | S_ISGID;

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool OwnedAs(IFileOps& ops, int fd, const FileIdentity& keep) {
  struct stat info;
  return ops.FStat(fd, &info) == 0 && info.st_uid == keep.owner && info.st_gid == keep.group;
}

// Links resolved, "" when it cannot be.
std::string Resolved(IFileOps& ops, const std::string& path) {
  std::string resolved;
  return ops.ResolvePath(path.c_str(), resolved) == 0 ? resolved : std::string();
}

bool MayKeepSpecialBits() {
  FILE* status = std::fopen("/proc/self/status", "re");
  if (status == nullptr) return false;
  char line[256];
  unsigned long long effective = 0;
  bool found = false;
  while (!found && std::fgets(line, sizeof line, status) != nullptr)
    found = std::sscanf(line, "CapEff: %llx", &effective) == 1;
  std::fclose(status);
  return found && (effective >> kFileSetIdCapability & 1u) != 0;
}

bool InGroup(gid_t group) {
  if (getegid() == group) return true;
  const int count = getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  const int got = getgroups(count, groups.data());
  return got > 0 && std::find(groups.begin(), groups.begin() + got, group) != groups.begin() + got;
}

}  // namespace

bool Target::Open(const std::string& folderPath, const std::string& name) {
  name_ = name;
  folder_ = FileDescriptor(ops_.OpenFolder(folderPath.c_str()), ops_);
  return folder_.Valid();
}

TemporaryFile::TemporaryFile(IFileOps& ops, const Target& target)
    : ops_(ops),
      target_(target),
      name_("." + target.Name() + std::string(kTemporaryMark) + "XXXXXX"),
      fd_(-1, ops) {}

TemporaryFile::~TemporaryFile() {
  fd_.Close();
  if (created_ && !renamed_) ops_.UnlinkAt(target_.Folder(), name_.c_str());
}

Outcome<> TemporaryFile::Create() {
  fd_ = FileDescriptor(ops_.CreateTemporaryAt(target_.Folder(), name_), ops_);
  if (!fd_.Valid()) return FileError::System(FileStep::CreateTemporary, errno);
  created_ = true;
  return Done();
}

Outcome<FileIdentity> TemporaryFile::Finish() {
  struct stat info;
  if (ops_.Sync(fd_.Fd()) != 0 || ops_.FStat(fd_.Fd(), &info) != 0) return FileError::System(FileStep::Save, errno);
  if (fd_.Close() != 0) return FileError::System(FileStep::Save, errno);
  return FileIdentity::Of(info);
}

Outcome<> TemporaryFile::RenameOver(bool overAnything) {
  const int renamed = overAnything ? ops_.RenameAt(target_.Folder(), name_.c_str(), target_.Name().c_str())
                                   : ops_.RenameNoReplaceAt(target_.Folder(), name_.c_str(), target_.Name().c_str());
  if (renamed != 0) return FileError::System(FileStep::Save, errno);
  renamed_ = true;
  return Done();
}

HeldFile::HeldFile(IFileOps& ops, const Target& target)
    : fd_(ops.OpenAt(target.Folder(), target.Name().c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK), ops) {}

bool ChangedSince(IFileOps& ops, const Target& target, const FileIdentity& asRead) {
  struct stat now;
  return ops.StatAt(target.Folder(), target.Name().c_str(), &now) != 0 || !asRead.Unchanged(FileIdentity::Of(now));
}

bool HeldChangedSince(IFileOps& ops, int fd, const FileIdentity& asRead) {
  struct stat now;
  return ops.FStat(fd, &now) != 0 || !asRead.Unchanged(FileIdentity::Of(now));
}

Outcome<> FindTarget(IFileOps& ops, const std::string& nativePath, Links links, Target& target,
                     struct stat& info) {
  const std::string path = links == Links::Followed ? Resolved(ops, nativePath) : nativePath;
  const std::string folder = path.empty() ? std::string() : Resolved(ops, NativeFolderOf(path));
  if (folder.empty() || !target.Open(folder, NameOf(path))) return FileError::System(FileStep::Find, errno);
  if (ops.StatAt(target.Folder(), target.Name().c_str(), &info) != 0) return FileError::System(FileStep::Find, errno);
  if (S_ISLNK(info.st_mode)) return FileError::Refused(FileRefusal::SymbolicLink);
  if (!S_ISREG(info.st_mode)) return FileError::Refused(FileRefusal::NotRegularFile);
  // Root may write anything; a file whose write bits are all clear is read-only all the same.
  if ((info.st_mode & kWriteBits) == 0 ||
      faccessat(target.Folder(), target.Name().c_str(), W_OK, AT_SYMLINK_NOFOLLOW) != 0)
    return FileError::Refused(FileRefusal::ReadOnly);
  return Done();
}

Outcome<> FindPlace(IFileOps& ops, const std::string& nativePath, Target& target) {
  const std::string folder = Resolved(ops, NativeFolderOf(nativePath));
  if (folder.empty() || !target.Open(folder, NameOf(nativePath)))
    return FileError::System(FileStep::CreateTemporary, errno);
  return Done();
}

bool InPlaceKeepsSpecialBits(const struct stat& info) {
  if ((info.st_mode & kSpecialBits) == 0 || MayKeepSpecialBits()) return true;
  const bool owner = info.st_uid == geteuid();
  if ((info.st_mode & S_ISUID) != 0 && !owner) return false;
  return (info.st_mode & S_ISGID) == 0 || (owner && InGroup(info.st_gid));
}

void RestoreSpecialBits(IFileOps& ops, int fd, mode_t mode) {
  struct stat now;
  if ((mode & kSpecialBits) != 0 && ops.FStat(fd, &now) == 0 && (now.st_mode & 07777) != (mode & 07777))
    ops.ChangeMode(fd, mode & 07777);
}

Outcome<FileIdentity> PlaceTemporary(IFileOps& ops, TemporaryFile& temporary, const Target& target,
                                     const Replacing* replacing, mode_t newMode, bool overAnything) {
  if (replacing != nullptr) {
    // Owner first: changing it clears set-user-ID bits that the mode then restores.
    if (ops.ChangeOwner(temporary.Fd(), replacing->keep.owner, replacing->keep.group) != 0 &&
        !OwnedAs(ops, temporary.Fd(), replacing->keep))
      return FileError::Refused(FileRefusal::OwnerNotKept);
    if (ops.ChangeMode(temporary.Fd(), replacing->keep.mode & 07777) != 0)
      return FileError::System(FileStep::SetPermissions, errno);
    // The kernel drops a set-group-ID bit it will not let this user set, without a word.
    struct stat info;
    if (ops.FStat(temporary.Fd(), &info) != 0) return FileError::System(FileStep::SetPermissions, errno);
    if ((info.st_mode & 07777) != (replacing->keep.mode & 07777))
      return FileError::Refused(FileRefusal::SpecialBitsNotKept);
    ops.CopyExtendedAttributes(replacing->attributesFrom, temporary.Fd());
  } else if (ops.ChangeMode(temporary.Fd(), newMode) != 0) {
    return FileError::System(FileStep::SetPermissions, errno);
  }
  const Outcome<FileIdentity> placed = temporary.Finish();
  if (!placed) return placed;
  // As late as it can be: flushing may take seconds, time enough for an editor to save.
  if (replacing != nullptr && ChangedSince(ops, target, replacing->atPath))
    return FileError::Refused(FileRefusal::ChangedSinceRead);
  if (const Outcome<> renamed = temporary.RenameOver(overAnything); !renamed) return renamed.Failure();
  ops.Sync(target.Folder());
  return placed;
}

namespace {

// One attempt of PutBack's: what now stands at the path, or why it failed.
Outcome<FileIdentity> PutBackOnce(IFileOps& ops, const Target& target, int original, const FileIdentity& atPath,
                                  FileIdentity& readBack) {
  struct stat info;
  if (ops.FStat(original, &info) != 0) return FileError::System(FileStep::Read, errno);
  const Outcome<std::string> current = ReadAll(ops, original);
  if (!current) return current.Failure();
  readBack = FileIdentity::Of(info);
  const Replacing replacing{atPath, readBack, original};
  TemporaryFile temporary(ops, target);
  if (const Outcome<> made = temporary.Create(); !made) return made.Failure();
  if (const Outcome<> written = WriteAll(ops, temporary.Fd(), current.Value()); !written) return written.Failure();
  return PlaceTemporary(ops, temporary, target, &replacing, 0);
}

}  // namespace

Outcome<FileIdentity> PutBack(IFileOps& ops, const Target& target, int original, FileIdentity atPath) {
  for (int attempt = 0; attempt < kPutBackAttempts; ++attempt) {
    FileIdentity readBack;
    const Outcome<FileIdentity> placed = PutBackOnce(ops, target, original, atPath, readBack);
    if (!placed) return FileError{placed.Failure().step, placed.Failure().error, FileRefusal::PutBackFailed};
    if (!HeldChangedSince(ops, original, readBack)) return FileError::Refused(FileRefusal::ChangedDuringWrite);
    atPath = placed.Value();
  }
  return FileError::Refused(FileRefusal::PutBackFailed);
}

Outcome<> CopyBytes(IFileOps& ops, int from, std::uint64_t fromOffset, int to, off_t toOffset, std::uint64_t count) {
  const std::unique_ptr<char[]> buffer(new char[kCopyBytes]);
  for (std::uint64_t done = 0; done < count;) {
    const size_t want = static_cast<size_t>(std::min<std::uint64_t>(kCopyBytes, count - done));
    const ssize_t got = RetryOnInterrupt(
        [&] { return ops.PRead(from, buffer.get(), want, static_cast<off_t>(fromOffset + done)); });
    if (got <= 0) return FileError::System(FileStep::Write, got < 0 ? errno : EIO);
    if (const Outcome<> written = WriteAll(ops, to, std::string_view(buffer.get(), static_cast<size_t>(got)),
                                           toOffset < 0 ? -1 : toOffset + static_cast<off_t>(done));
        !written)
      return written;
    done += static_cast<std::uint64_t>(got);
  }
  return Done();
}

}  // namespace trawlscope::safewrite
