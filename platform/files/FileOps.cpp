#include "platform/files/FileOps.h"

#include <fcntl.h>
#include <linux/openat2.h>
#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>
#include <string_view>
#include <vector>

namespace trawlscope {
namespace {

constexpr int kTemporaryNameTries = 100;
constexpr size_t kTemporaryLetters = 6;  // the template's XXXXXX

int OpenFolderWithoutLinks(const char* path) {
  open_how how{};
  how.flags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
  how.resolve = RESOLVE_NO_SYMLINKS;
  const long fd = syscall(SYS_openat2, AT_FDCWD, path, &how, sizeof how);
  // Kernels before 5.6: only the last step can be held to no link.
  if (fd < 0 && errno == ENOSYS) return open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
  return static_cast<int>(fd);
}

// mkostemp's names, made beside a folder's descriptor instead of a path.
int CreateTemporaryIn(int folder, std::string& nameTemplate) {
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  if (nameTemplate.size() < kTemporaryLetters) {
    errno = EINVAL;
    return -1;
  }
  thread_local std::mt19937_64 random{std::random_device{}()};
  std::uniform_int_distribution<size_t> pick(0, sizeof kLetters - 2);
  for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
    for (size_t k = nameTemplate.size() - kTemporaryLetters; k < nameTemplate.size(); ++k)
      nameTemplate[k] = kLetters[pick(random)];
    const int fd = openat(folder, nameTemplate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

class SystemOps final : public IFileOps {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return open(path, flags, mode); }
  int OpenFolder(const char* path) override { return OpenFolderWithoutLinks(path); }
  int OpenAt(int folder, const char* name, int flags, mode_t mode) override {
    return openat(folder, name, flags | O_NOFOLLOW, mode);
  }
  int CreateTemporaryAt(int folder, std::string& nameTemplate) override {
    return CreateTemporaryIn(folder, nameTemplate);
  }
  ssize_t PRead(int fd, void* data, size_t size, off_t offset) override {
    return pread(fd, data, size, offset);
  }
  ssize_t Write(int fd, const void* data, size_t size) override { return write(fd, data, size); }
  ssize_t PWrite(int fd, const void* data, size_t size, off_t offset) override {
    return pwrite(fd, data, size, offset);
  }
  int Reserve(int fd, off_t size) override {
    if (size == 0) return 0;
    const int result = fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, size);
    // File systems without fallocate simply give no early warning of a full disk.
    return (result != 0 && (errno == EOPNOTSUPP || errno == ENOSYS)) ? 0 : result;
  }
  int Truncate(int fd, off_t size) override { return ftruncate(fd, size); }
  int Sync(int fd) override { return fsync(fd); }
  int Close(int fd) override { return close(fd); }
  int Rename(const char* from, const char* to) override { return rename(from, to); }
  int RenameAt(int folder, const char* from, const char* to) override { return renameat(folder, from, folder, to); }
  int RenameNoReplaceAt(int folder, const char* from, const char* to) override {
    if (renameat2(folder, from, folder, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without it: a second name, which link() never puts over anything, then the first goes.
    if (linkat(folder, from, folder, to, 0) != 0) return -1;
    unlinkat(folder, from, 0);
    return 0;
  }
  int Unlink(const char* path) override { return unlink(path); }
  int UnlinkAt(int folder, const char* name) override { return unlinkat(folder, name, 0); }
  int Stat(const char* path, struct stat* info) override { return stat(path, info); }
  int StatAt(int folder, const char* name, struct stat* info) override {
    return fstatat(folder, name, info, AT_SYMLINK_NOFOLLOW);
  }
  int FStat(int fd, struct stat* info) override { return fstat(fd, info); }
  int ChangeMode(int fd, mode_t mode) override { return fchmod(fd, mode); }
  int ChangeOwner(int fd, uid_t owner, gid_t group) override { return fchown(fd, owner, group); }

  // Attributes the process may not set (security.*, trusted.*) are skipped.
  int CopyExtendedAttributes(int fromFd, int toFd) override {
    const ssize_t listSize = flistxattr(fromFd, nullptr, 0);
    if (listSize <= 0) return 0;
    std::vector<char> names(static_cast<size_t>(listSize));
    const ssize_t got = flistxattr(fromFd, names.data(), names.size());
    if (got < 0) return 0;
    std::vector<char> value;
    for (const char* name = names.data(); name < names.data() + got; name += strlen(name) + 1) {
      const ssize_t valueSize = fgetxattr(fromFd, name, nullptr, 0);
      if (valueSize < 0) continue;
      value.resize(static_cast<size_t>(valueSize));
      if (fgetxattr(fromFd, name, value.data(), value.size()) != valueSize) continue;
      fsetxattr(toFd, name, value.data(), value.size(), 0);
    }
    return 0;
  }

  int MakeFolderAt(int folder, const char* name, mode_t mode) override { return mkdirat(folder, name, mode); }
  int RemoveFolderAt(int folder, const char* name) override { return unlinkat(folder, name, AT_REMOVEDIR); }
  int Lock(int fd, int operation) override { return flock(fd, operation); }
  int FileSystemStats(const char* path, struct statvfs* info) override { return statvfs(path, info); }
  int ResolvePath(const char* path, std::string& resolved) override {
    char* real = realpath(path, nullptr);
    if (real == nullptr) return -1;
    resolved = real;
    free(real);
    return 0;
  }

  int ListFolder(int folder, std::vector<std::string>& names) override {
    // fdopendir takes the descriptor it is given: the caller keeps its own.
    const int fd = dup(folder);
    DIR* listing = fd >= 0 ? fdopendir(fd) : nullptr;
    if (listing == nullptr) {
      const int error = errno;
      if (fd >= 0) close(fd);
      errno = error;
      return -1;
    }
    rewinddir(listing);  // a listing before this one moved the offset the two descriptors share
    errno = 0;
    while (const dirent* entry = readdir(listing)) {
      const std::string_view name = entry->d_name;
      if (name != "." && name != "..") names.emplace_back(name);
      errno = 0;
    }
    const int error = errno;
    closedir(listing);
    errno = error;
    return error == 0 ? 0 : -1;
  }
};

}  // namespace

IFileOps& SystemFileOps() {
  static SystemOps ops;
  return ops;
}

}  // namespace trawlscope
