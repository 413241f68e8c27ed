#include "platform/files/SafeFileWriter.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <memory>

#include "platform/files/NativePath.h"
#include "platform/files/SystemCalls.h"

namespace trawlscope {
namespace {

constexpr mode_t kNewFileMode = 0666;  // before the umask, as editors create files
constexpr mode_t kPrivateFileMode = 0600;
constexpr mode_t kDefaultUmask = 022;
constexpr std::string_view kTemporaryMark = ".trawlscope-";
constexpr size_t kTemporaryLetters = 6;  // mkstemp's XXXXXX
constexpr mode_t kWriteBits = 0222;
constexpr int kPutBackAttempts = 3;  // a file that keeps changing is not chased for ever

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

void FlushFolder(IFileOps& ops, const std::string& folder) {
  const int fd = ops.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ops.Sync(fd);
  ops.Close(fd);
}

// Read, never set: umask() changes it for every thread at once, and a file
// another thread created in between would get the wrong mode.
mode_t ProcessUmask() {
  FILE* status = std::fopen("/proc/self/status", "re");
  if (status == nullptr) return kDefaultUmask;
  char line[256];
  unsigned mask = kDefaultUmask;
  while (std::fgets(line, sizeof line, status) != nullptr)
    if (std::sscanf(line, "Umask: %o", &mask) == 1) break;
  std::fclose(status);
  return static_cast<mode_t>(mask);
}

bool OwnedAs(IFileOps& ops, int fd, const FileIdentity& keep) {
  struct stat info;
  return ops.FStat(fd, &info) == 0 && info.st_uid == keep.owner && info.st_gid == keep.group;
}

// A temporary file beside the target, removed again unless it was renamed over it.
class TemporaryFile {
 public:
  TemporaryFile(IFileOps& ops, const std::string& target)
      : ops_(ops),
        path_(NativeFolderOf(target) + "/." + NameOf(target) + std::string(kTemporaryMark) + "XXXXXX"),
        fd_(ops.CreateTemporary(path_)),
        error_(fd_ < 0 ? errno : 0),
        created_(fd_ >= 0) {}
  ~TemporaryFile() {
    if (fd_ >= 0) ops_.Close(fd_);
    if (created_ && !renamed_) ops_.Unlink(path_.c_str());
  }
  int Fd() const { return fd_; }
  int Error() const { return error_; }

  // Flushes and closes the file; `placed` is what the target will be once it is renamed.
  bool Finish(FileIdentity& placed, int& error) {
    struct stat info;
    if (ops_.Sync(fd_) != 0 || ops_.FStat(fd_, &info) != 0) {
      error = errno;
      return false;
    }
    placed = FileIdentity::Of(info);
    const int fd = fd_;
    fd_ = -1;
    if (ops_.Close(fd) != 0) {
      error = errno;
      return false;
    }
    return true;
  }

  bool RenameOver(const std::string& target, int& error) {
    if (ops_.Rename(path_.c_str(), target.c_str()) != 0) {
      error = errno;
      return false;
    }
    renamed_ = true;
    return true;
  }

 private:
  IFileOps& ops_;
  std::string path_;
  int fd_;
  int error_;
  bool created_;
  bool renamed_ = false;
};

// The file a descriptor holds, whatever name it has by now.
class HeldFile {
 public:
  HeldFile(IFileOps& ops, const std::string& path)
      : ops_(ops), fd_(ops.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK)) {}
  ~HeldFile() {
    if (fd_ >= 0) ops_.Close(fd_);
  }
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;
  int Fd() const { return fd_; }

 private:
  IFileOps& ops_;
  int fd_;
};

bool ChangedSince(IFileOps& ops, const std::string& path, const FileIdentity& asRead) {
  struct stat now;
  return ops.Stat(path.c_str(), &now) != 0 || !asRead.Unchanged(FileIdentity::Of(now));
}

bool HeldChangedSince(IFileOps& ops, int fd, const FileIdentity& asRead) {
  struct stat now;
  return ops.FStat(fd, &now) != 0 || !asRead.Unchanged(FileIdentity::Of(now));
}

// Several names for one file: every name must see the new content, so the
// bytes go into the file itself, once room for them is sure. Should writing
// fail half-way, the old bytes are put back.
WriteResult RewriteInPlace(IFileOps& ops, const std::string& target, std::string_view bytes,
                           std::string_view oldBytes, const FileIdentity& asRead) {
  const int fd = ops.Open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return {false, FileError::System(FileStep::OpenForWriting, errno)};
  int error = 0;
  WriteResult result{true, {}, {}};
  struct stat after;
  // Checked before reserving room, which itself touches the modification time.
  if (ChangedSince(ops, target, asRead)) {
    result = {false, FileError::Refused(FileRefusal::ChangedSinceRead)};
  } else if (ops.Reserve(fd, static_cast<off_t>(bytes.size())) != 0) {
    result = {false, FileError::System(FileStep::Reserve, errno)};
  } else if (!WriteAll(ops, fd, bytes, error, 0) ||
             ops.Truncate(fd, static_cast<off_t>(bytes.size())) != 0 || ops.Sync(fd) != 0) {
    result = {false, FileError::System(FileStep::WriteInPlace, error ? error : errno)};
    int ignored = 0;
    if (WriteAll(ops, fd, oldBytes, ignored, 0)) ops.Truncate(fd, static_cast<off_t>(oldBytes.size()));
    ops.Sync(fd);
  } else if (ops.FStat(fd, &after) == 0) {
    result.placed = FileIdentity::Of(after);
  }
  ops.Close(fd);
  return result;
}

// What the new file takes over from the one it replaces.
struct Replacing {
  const FileIdentity& atPath;  // what the path must still name at the rename
  const FileIdentity& keep;    // mode, owner and group
  int attributesFrom;          // descriptor whose extended attributes are copied
};

// `newMode` is the mode of a file that does not replace another.
WriteResult WriteThroughTemporary(IFileOps& ops, const std::string& target, std::string_view bytes,
                                  const Replacing* replacing, FileIdentity& placed, mode_t newMode = 0) {
  TemporaryFile temporary(ops, target);
  if (temporary.Fd() < 0) return {false, FileError::System(FileStep::CreateTemporary, temporary.Error())};
  int error = 0;
  if (!WriteAll(ops, temporary.Fd(), bytes, error)) return {false, FileError::System(FileStep::Write, error)};
  if (replacing != nullptr) {
    // Owner first: changing it clears set-user-ID bits that the mode then restores.
    if (ops.ChangeOwner(temporary.Fd(), replacing->keep.owner, replacing->keep.group) != 0 &&
        !OwnedAs(ops, temporary.Fd(), replacing->keep))
      return {false, FileError::Refused(FileRefusal::OwnerNotKept)};
    if (ops.ChangeMode(temporary.Fd(), replacing->keep.mode & 07777) != 0)
      return {false, FileError::System(FileStep::SetPermissions, errno)};
    ops.CopyExtendedAttributes(replacing->attributesFrom, temporary.Fd());
  } else if (ops.ChangeMode(temporary.Fd(), newMode) != 0) {
    return {false, FileError::System(FileStep::SetPermissions, errno)};
  }
  if (!temporary.Finish(placed, error)) return {false, FileError::System(FileStep::Save, error)};
  // As late as it can be: flushing may take seconds, time enough for an editor to save.
  if (replacing != nullptr && ChangedSince(ops, target, replacing->atPath))
    return {false, FileError::Refused(FileRefusal::ChangedSinceRead)};
  if (!temporary.RenameOver(target, error)) return {false, FileError::System(FileStep::Save, error)};
  FlushFolder(ops, NativeFolderOf(target));
  return {true, {}, placed};
}

// Someone wrote into the old file between the last check and the rename, so
// the new content must not stand: the old file's bytes as they are now go
// back in its place, and again should it change while that happens.
WriteResult PutBack(IFileOps& ops, const std::string& target, int original, FileIdentity atPath) {
  for (int attempt = 0; attempt < kPutBackAttempts; ++attempt) {
    struct stat info;
    std::string current;
    int error = 0;
    if (ops.FStat(original, &info) != 0) error = errno;
    if (error != 0 || !ReadAll(ops, original, current, error))
      return {false, {FileStep::Read, error, FileRefusal::PutBackFailed}};
    const FileIdentity readBack = FileIdentity::Of(info);
    const Replacing replacing{atPath, readBack, original};
    FileIdentity placed;
    const WriteResult result = WriteThroughTemporary(ops, target, current, &replacing, placed);
    if (!result.written) return {false, {result.error.step, result.error.error, FileRefusal::PutBackFailed}};
    if (!HeldChangedSince(ops, original, readBack)) return {false, FileError::Refused(FileRefusal::ChangedDuringWrite)};
    atPath = placed;
  }
  return {false, FileError::Refused(FileRefusal::PutBackFailed)};
}

// The file a path names, links followed; empty when it cannot be resolved.
std::string ResolvedTarget(const std::string& path) {
  std::unique_ptr<char, decltype(&free)> resolved(realpath(path.c_str(), nullptr), &free);
  return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace

WriteResult RewriteFile(const std::string& nativePath, std::string_view bytes,
                        std::string_view oldBytes, const FileIdentity& asRead, IFileOps& ops) {
  const std::string target = ResolvedTarget(nativePath);
  struct stat info;
  if (target.empty() || ops.Stat(target.c_str(), &info) != 0)
    return {false, FileError::System(FileStep::Find, errno)};
  if (!S_ISREG(info.st_mode)) return {false, FileError::Refused(FileRefusal::NotRegularFile)};
  // Root may write anything; a file whose write bits are all clear is read-only all the same.
  if ((info.st_mode & kWriteBits) == 0 || access(target.c_str(), W_OK) != 0)
    return {false, FileError::Refused(FileRefusal::ReadOnly)};
  // Held until after the rename, so that writes into the old file in the
  // meantime can still be seen, and read back.
  const HeldFile original(ops, target);
  if (original.Fd() < 0) return {false, FileError::System(FileStep::Open, errno)};
  if (HeldChangedSince(ops, original.Fd(), asRead)) return {false, FileError::Refused(FileRefusal::ChangedSinceRead)};
  if (info.st_nlink > 1) return RewriteInPlace(ops, target, bytes, oldBytes, asRead);
  const Replacing replacing{asRead, asRead, original.Fd()};
  FileIdentity placed;
  const WriteResult result = WriteThroughTemporary(ops, target, bytes, &replacing, placed);
  // A new file would belong to this user (another user's file in a shared
  // folder): in place, the file stays whose it was.
  if (result.error.refusal == FileRefusal::OwnerNotKept) return RewriteInPlace(ops, target, bytes, oldBytes, asRead);
  if (result.written && HeldChangedSince(ops, original.Fd(), asRead))
    return PutBack(ops, target, original.Fd(), placed);
  return result;
}

bool IsWritersTemporaryName(std::string_view name) {
  const size_t tail = kTemporaryMark.size() + kTemporaryLetters;
  if (name.size() < tail + 2 || name[0] != '.') return false;
  const std::string_view letters = name.substr(name.size() - kTemporaryLetters);
  return name.substr(name.size() - tail, kTemporaryMark.size()) == kTemporaryMark &&
         std::all_of(letters.begin(), letters.end(), [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

WriteResult WriteWholeFile(const std::string& nativePath, std::string_view bytes, IFileOps& ops) {
  FileIdentity placed;
  struct stat existing;
  const mode_t mode = ops.Stat(nativePath.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                   : (kNewFileMode & ~ProcessUmask());
  return WriteThroughTemporary(ops, nativePath, bytes, nullptr, placed, mode);
}

WriteResult WritePrivateFile(const std::string& nativePath, std::string_view bytes, IFileOps& ops) {
  FileIdentity placed;
  return WriteThroughTemporary(ops, nativePath, bytes, nullptr, placed, kPrivateFileMode);
}

}  // namespace trawlscope
