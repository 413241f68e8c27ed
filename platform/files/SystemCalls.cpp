#include "platform/files/SystemCalls.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/files/FileDescriptor.h"

namespace trawlscope {
namespace {

constexpr size_t kReadChunk = 64 * 1024;

}  // namespace

Outcome<> WriteAll(IFileOps& ops, int fd, std::string_view bytes, off_t offset) {
  while (!bytes.empty()) {
    const ssize_t written = RetryOnInterrupt([&] {
      return offset < 0 ? ops.Write(fd, bytes.data(), bytes.size())
                        : ops.PWrite(fd, bytes.data(), bytes.size(), offset);
    });
    if (written <= 0) return FileError::System(FileStep::Write, written < 0 ? errno : ENOSPC);
    bytes.remove_prefix(static_cast<size_t>(written));
    if (offset >= 0) offset += written;
  }
  return Done();
}

Outcome<std::string> ReadAll(IFileOps& ops, int fd) {
  char chunk[kReadChunk];
  std::string bytes;
  for (off_t offset = 0;;) {
    const ssize_t got = RetryOnInterrupt([&] { return ops.PRead(fd, chunk, sizeof chunk, offset); });
    if (got < 0) return FileError::System(FileStep::Read, errno);
    if (got == 0) return bytes;
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
  return ReadAll(ops, file.Fd());
}

}  // namespace trawlscope
