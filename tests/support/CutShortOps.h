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
  // Temporary files whose template holds `nameFragment` ("manifest", ".orig").
  CutShortOps(std::string nameFragment, Cut cut) : fragment_(std::move(nameFragment)), cut_(cut) {}

  int cutWrites = 0;  // writes that were cut so far

  int CreateTemporary(std::string& pathTemplate) override {
    const int fd = real_.CreateTemporary(pathTemplate);
    if (fd >= 0 && pathTemplate.find(fragment_) != std::string::npos) cutFds_.insert(fd);
    return fd;
  }
  ssize_t Write(int fd, const void* data, size_t size) override {
    if (fullFds_.count(fd) != 0) {
      errno = ENOSPC;
      return -1;
    }
    if (cutFds_.count(fd) == 0 || size < 2) return real_.Write(fd, data, size);
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
  std::set<int> cutFds_;
  std::set<int> fullFds_;
};

}  // namespace trawlscope::test
