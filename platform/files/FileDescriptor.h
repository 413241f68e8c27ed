#pragma once
// The one owner of a descriptor in the engine: closed once, through the seam
// it was opened through, at the end of its owner's scope.
#include <utility>

#include "platform/files/FileOps.h"

namespace trawlscope {

class FileDescriptor {
 public:
  FileDescriptor() = default;
  // `fd` may be negative: a failed open, which owns nothing.
  explicit FileDescriptor(int fd, IFileOps& ops = SystemFileOps()) : fd_(fd), ops_(&ops) {}
  ~FileDescriptor() { Close(); }
  FileDescriptor(FileDescriptor&& other) noexcept : fd_(other.Release()), ops_(other.ops_) {}
  FileDescriptor& operator=(FileDescriptor&& other) noexcept {
    if (this != &other) {
      Close();
      ops_ = other.ops_;
      fd_ = other.Release();
    }
    return *this;
  }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  bool Valid() const { return fd_ >= 0; }
  int Fd() const { return fd_; }
  // Hands the descriptor over to a new owner.
  int Release() { return std::exchange(fd_, -1); }
  // What close() returned: 0 when there was nothing to close.
  int Close() { return fd_ >= 0 ? ops_->Close(Release()) : 0; }

 private:
  int fd_ = -1;
  IFileOps* ops_ = &SystemFileOps();
};

}  // namespace trawlscope
