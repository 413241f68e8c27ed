#pragma once
// The real system calls, except that writes into the temporary files of one
// chosen name are cut short: either the disk "fills up" half-way (the write
// fails), or half the bytes reach the disk while the call claims all of them,
// as a crash or a failing disk would leave the file.
#include <cerrno>
#include <set>
#include <string>

#include "support/ForwardingFileOps.h"

namespace trawlscope::test {

class CutShortOps final : public ForwardingFileOps {
 public:
  enum class Cut { FullDisk, SilentHalf };
  // Files whose name (or temporary template) holds `nameFragment` ("log",
  // ".orig"), after `passWrites` writes to them went through whole.
  CutShortOps(std::string nameFragment, Cut cut, int passWrites = 0)
      : fragment_(std::move(nameFragment)), cut_(cut), passWrites_(passWrites) {}

  int cutWrites = 0;  // writes that were cut so far

  int Open(const char* path, int flags, mode_t mode) override {
    const int fd = real_.Open(path, flags, mode);
    if (fd >= 0 && std::string(path).find(fragment_) != std::string::npos) cutFds_.insert(fd);
    return fd;
  }
  int CreateTemporaryAt(int folder, std::string& nameTemplate) override {
    const int fd = real_.CreateTemporaryAt(folder, nameTemplate);
    if (fd >= 0 && nameTemplate.find(fragment_) != std::string::npos) cutFds_.insert(fd);
    return fd;
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (fullFds_.count(fd) != 0) {
      errno = ENOSPC;
      return -1;
    }
    if (cutFds_.count(fd) == 0 || size < 2 || passWrites_-- > 0) return real_.Write(fd, data, size);
    ++cutWrites;
    const ssize_t written = real_.Write(fd, data, size / 2);
    if (cut_ == Cut::SilentHalf) return written < 0 ? written : static_cast<ssize_t>(size);
    cutFds_.erase(fd);  // the next write of this file finds the disk full
    fullFds_.insert(fd);
    return written;
  }
  int Close(int fd) override {
    cutFds_.erase(fd);
    fullFds_.erase(fd);
    return real_.Close(fd);
  }

 private:
  std::string fragment_;
  Cut cut_;
  int passWrites_;
  std::set<int> cutFds_;
  std::set<int> fullFds_;
};

}  // namespace trawlscope::test
