#include "platform/SafeFileWriter.h"

#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "platform/NativePath.h"

namespace trawlscope {
namespace {

constexpr mode_t kNewFileMode = 0666;  // before the umask, as editors create files
constexpr mode_t kWriteBits = 0222;

std::string Reason(const char* what, int error) {
  if (error == ENOSPC || error == EDQUOT) return std::string(what) + ": the disk is full";
  return std::string(what) + ": " + std::strerror(error);
}

std::string NameOf(const std::string& path) {
  const auto slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool WriteAll(IFileOps& ops, int fd, std::string_view bytes, int& error) {
  while (!bytes.empty()) {
    const ssize_t written = ops.Write(fd, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
  }
  return true;
}

bool PWriteAll(IFileOps& ops, int fd, std::string_view bytes, int& error) {
  off_t offset = 0;
  while (!bytes.empty()) {
    const ssize_t written = ops.PWrite(fd, bytes.data(), bytes.size(), offset);
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) {
      error = written < 0 ? errno : ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
    offset += written;
  }
  return true;
}

void FlushFolder(IFileOps& ops, const std::string& folder) {
  const int fd = ops.Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ops.Sync(fd);
  ops.Close(fd);
}

// A temporary file beside the target, removed again unless Commit() renamed it.
class TemporaryFile {
 public:
  TemporaryFile(IFileOps& ops, const std::string& target)
      : ops_(ops),
        path_(NativeFolderOf(target) + "/." + NameOf(target) + ".trawlscope-XXXXXX"),
        fd_(ops.CreateTemporary(path_)),
        error_(fd_ < 0 ? errno : 0),
        created_(fd_ >= 0) {}
  ~TemporaryFile() {
    if (fd_ >= 0) ops_.Close(fd_);
    if (created_ && !renamed_) ops_.Unlink(path_.c_str());
  }
  int Fd() const { return fd_; }
  int Error() const { return error_; }

  // Flushes and closes the file, then renames it over `target`.
  bool Commit(const std::string& target, int& error) {
    if (ops_.Sync(fd_) != 0) {
      error = errno;
      return false;
    }
    const int fd = fd_;
    fd_ = -1;
    if (ops_.Close(fd) != 0 || ops_.Rename(path_.c_str(), target.c_str()) != 0) {
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

bool ChangedSince(IFileOps& ops, const std::string& path, const FileIdentity& asRead) {
  struct stat now;
  return ops.Stat(path.c_str(), &now) != 0 || !asRead.Unchanged(FileIdentity::Of(now));
}

// Several names for one file: every name must see the new content, so the
// bytes go into the file itself, once room for them is sure. Should writing
// fail half-way, the old bytes are put back.
WriteResult RewriteInPlace(IFileOps& ops, const std::string& target, std::string_view bytes,
                           std::string_view oldBytes, const FileIdentity& asRead) {
  const int fd = ops.Open(target.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return {false, Reason("cannot open it for writing", errno)};
  int error = 0;
  WriteResult result{true, {}};
  // Checked before reserving room, which itself touches the modification time.
  if (ChangedSince(ops, target, asRead)) {
    result = {false, "it changed since it was read"};
  } else if (ops.Reserve(fd, static_cast<off_t>(bytes.size())) != 0) {
    result = {false, Reason("cannot make room for it", errno)};
  } else if (!PWriteAll(ops, fd, bytes, error) ||
             ops.Truncate(fd, static_cast<off_t>(bytes.size())) != 0 || ops.Sync(fd) != 0) {
    result = {false, Reason("writing it in place failed", error ? error : errno)};
    int ignored = 0;
    if (PWriteAll(ops, fd, oldBytes, ignored)) ops.Truncate(fd, static_cast<off_t>(oldBytes.size()));
    ops.Sync(fd);
  }
  ops.Close(fd);
  return result;
}

WriteResult WriteThroughTemporary(IFileOps& ops, const std::string& target, std::string_view bytes,
                                  const FileIdentity* asRead) {
  TemporaryFile temporary(ops, target);
  if (temporary.Fd() < 0) return {false, Reason("cannot create a file in its folder", temporary.Error())};
  int error = 0;
  if (!WriteAll(ops, temporary.Fd(), bytes, error)) return {false, Reason("writing failed", error)};
  if (asRead != nullptr) {
    // Owner first: changing it clears set-user-ID bits that the mode then restores.
    ops.ChangeOwner(temporary.Fd(), asRead->owner, asRead->group);
    if (ops.ChangeMode(temporary.Fd(), asRead->mode & 07777) != 0)
      return {false, Reason("cannot give it its permissions", errno)};
    const int original = ops.Open(target.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (original >= 0) {
      ops.CopyExtendedAttributes(original, temporary.Fd());
      ops.Close(original);
    }
    if (ChangedSince(ops, target, *asRead)) return {false, "it changed since it was read"};
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    struct stat existing;
    const mode_t mode = ops.Stat(target.c_str(), &existing) == 0 ? (existing.st_mode & 07777)
                                                                  : (kNewFileMode & ~mask);
    ops.ChangeMode(temporary.Fd(), mode);
  }
  if (!temporary.Commit(target, error)) return {false, Reason("saving failed", error)};
  FlushFolder(ops, NativeFolderOf(target));
  return {true, {}};
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
    return {false, Reason("cannot find it", errno)};
  if (!S_ISREG(info.st_mode)) return {false, "it is not a regular file"};
  // Root may write anything; a file whose write bits are all clear is read-only all the same.
  if ((info.st_mode & kWriteBits) == 0 || access(target.c_str(), W_OK) != 0)
    return {false, "the file is read-only"};
  if (!asRead.Unchanged(FileIdentity::Of(info))) return {false, "it changed since it was read"};
  if (info.st_nlink > 1) return RewriteInPlace(ops, target, bytes, oldBytes, asRead);
  return WriteThroughTemporary(ops, target, bytes, &asRead);
}

WriteResult WriteWholeFile(const std::string& nativePath, std::string_view bytes, IFileOps& ops) {
  return WriteThroughTemporary(ops, nativePath, bytes, nullptr);
}

}  // namespace trawlscope
