#include "platform/files/SystemCalls.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/FileDescriptor.h"

namespace trawlscope {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

bool WriteAll(IFileOps& ops, int fd, std::string_view bytes, int& error, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t written = RetryOnInterrupt([&] {
      return offset < 0 ? ops.Write(fd, bytes.data(), bytes.size())
                        : ops.PWrite(fd, bytes.data(), bytes.size(), offset);
    });
    if (written <= 0) {
      error = written < 0 ? errno : ENOSPC;
      return false;
    }
    bytes.remove_prefix(static_cast<size_t>(written));
    if (offset >= 0) offset += written;
  }
  return true;
}

bool ReadAll(IFileOps& ops, int fd, std::string& bytes, int& error) {
  char chunk[kReadChunk];
  for (off_t offset = 0;;) {
    const ssize_t got = RetryOnInterrupt([&] { return ops.PRead(fd, chunk, sizeof chunk, offset); });
    if (got < 0) {
      error = errno;
      return false;
    }
    if (got == 0) return true;
    bytes.append(chunk, static_cast<size_t>(got));
    offset += got;
  }
}

Outcome<std::string> ReadOwnFile(IFileOps& ops, const std::string& path) {
  const FileDescriptor file(ops.Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY), ops);
  if (!file.Valid()) return FileError::System(FileStep::Read, errno);
  struct stat info;
  if (ops.FStat(file.Fd(), &info) != 0) return FileError::System(FileStep::Read, errno);
  if (!S_ISREG(info.st_mode)) return FileError::System(FileStep::Read, S_ISDIR(info.st_mode) ? EISDIR : EINVAL);
  std::string bytes;
  if (int error = 0; !ReadAll(ops, file.Fd(), bytes, error)) return FileError::System(FileStep::Read, error);
  return bytes;
}

}  // namespace trawlscope
