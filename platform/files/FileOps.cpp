#include "platform/files/FileOps.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

namespace trawlscope {
namespace {

class SystemOps final : public IFileOps {
 public:
  int Open(const char* path, int flags, mode_t mode) override { return open(path, flags, mode); }
  int CreateTemporary(std::string& pathTemplate) override {
    return mkostemp(pathTemplate.data(), O_CLOEXEC);
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
  int RenameNoReplace(const char* from, const char* to) override {
    if (renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0) return 0;
    if (errno != EINVAL && errno != ENOSYS) return -1;
    // A file system without it: a second name, which link() never puts over anything, then the first goes.
    if (link(from, to) != 0) return -1;
    unlink(from);
    return 0;
  }
  int Unlink(const char* path) override { return unlink(path); }
  int Stat(const char* path, struct stat* info) override { return stat(path, info); }
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
};

}  // namespace

IFileOps& SystemFileOps() {
  static SystemOps ops;
  return ops;
}

}  // namespace trawlscope
