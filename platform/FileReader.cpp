#include "platform/FileReader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace trawlscope {

bool ReadWholeFile(const std::string& nativePath, std::string& bytes) {
  bytes.clear();
  // O_NONBLOCK keeps open() from waiting on a FIFO before fstat can refuse it.
  const int fd = open(nativePath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return false;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
  if (ok) {
    try {
      bytes.resize(static_cast<size_t>(info.st_size));
    } catch (const std::bad_alloc&) {
      ok = false;
    }
  }
  size_t done = 0;
  while (ok && done < bytes.size()) {
    const ssize_t got = read(fd, bytes.data() + done, bytes.size() - done);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) ok = false;
    if (got <= 0) break;
    done += static_cast<size_t>(got);
  }
  close(fd);
  // A file that shrank while being read keeps what was read.
  bytes.resize(ok ? done : 0);
  if (!ok) bytes.shrink_to_fit();
  return ok;
}

}  // namespace trawlscope
