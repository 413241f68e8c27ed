#include "platform/files/FileInPieces.h"

#include <unistd.h>

#include <algorithm>

#include "platform/files/SystemCalls.h"

namespace trawlscope {

FileInPieces::~FileInPieces() { Close(); }

void FileInPieces::Take(int fd, unsigned long long size) {
  Close();
  fd_ = fd;
  size_ = size;
  done_ = 0;
}

void FileInPieces::Close() {
  if (fd_ >= 0) close(fd_);
  fd_ = -1;
}

long long FileInPieces::ReadMore(std::string& into, size_t count) {
  // A file that grew is read to the size it had when opened, as a whole read would.
  const size_t wanted = static_cast<size_t>(std::min<unsigned long long>(count, size_ - done_));
  const size_t before = into.size();
  // resize zeroes the room before the read fills it: a pass over every piece
  // that reading into a kept raw buffer would spare.
  into.resize(before + wanted);
  size_t got = 0;
  while (got < wanted) {
    const ssize_t n = RetryOnInterrupt([&] { return read(fd_, into.data() + before + got, wanted - got); });
    if (n < 0) {
      into.resize(before);
      return -1;
    }
    if (n == 0) break;
    got += static_cast<size_t>(n);
  }
  into.resize(before + got);
  done_ += got;
  if (got < wanted) size_ = done_;  // it shrank while being read: it ends here
  return static_cast<long long>(got);
}

bool FileInPieces::Rewind() {
  if (lseek(fd_, 0, SEEK_SET) != 0) return false;
  done_ = 0;
  return true;
}

}  // namespace trawlscope
